#include "frontend/qt/qt_list_widget.h"

#include "core/list_row.h"
#include "frontend/qt/qt_controls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QPointer>
#include <algorithm>
#include <vector>

namespace korvane::qtfront {

namespace {

QFont ListFont()
{
    QFont font;
    // Liberation Mono has the metrics of Courier New where that face is not installed.
    font.setFamilies({"Courier New", "Liberation Mono", "DejaVu Sans Mono", "Monospace"});
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(10);
    font.setBold(true);
    return font;
}

constexpr int kListRowPixels = 16;

// Qt's keys as the model's key codes; other keys as they are.
int ModelKey(int key)
{
    switch (key) {
    case Qt::Key_Up: return forms::kKeyUp;
    case Qt::Key_Down: return forms::kKeyDown;
    case Qt::Key_PageUp: return forms::kKeyPageUp;
    case Qt::Key_PageDown: return forms::kKeyPageDown;
    case Qt::Key_Home: return forms::kKeyHome;
    case Qt::Key_End: return forms::kKeyEnd;
    default: return key;
    }
}

class ListBoxWidget : public QWidget {
public:
    ListBoxWidget(forms::ListBox& list, int tpp, QWidget* parent) : QWidget(parent), m_list(list), m_tpp(tpp)
    {
        setFont(ListFont());
        // Reached by Tab too, and moved by the keys.
        setFocusPolicy(Qt::StrongFocus);
        setAutoFillBackground(false);
    }

    const forms::ListBox& Model() const { return m_list; }
    QRect RowRect(int row) const { return QRect(0, row * kListRowPixels + 1, width(), kListRowPixels); }

    // The model changed: drawn again, and a screen reader hears of a new current row.
    void ModelChanged()
    {
        update();
        const int current = m_list.ListIndex();
        const int count = m_list.ListCount();
        if (!QAccessible::isActive() || (current == m_announcedRow && count == m_announcedCount))
            return;
        if (count != m_announcedCount) {
            QAccessibleEvent reordered(this, QAccessible::ObjectReorder);
            QAccessible::updateAccessibility(&reordered);
        }
        m_announcedRow = current;
        m_announcedCount = count;
        if (current < 0 || current >= count)
            return;
        QAccessibleEvent selection(this, QAccessible::Selection);
        selection.setChild(current);
        QAccessible::updateAccessibility(&selection);
        if (hasFocus()) {
            QAccessibleEvent focus(this, QAccessible::Focus);
            focus.setChild(current);
            QAccessible::updateAccessibility(&focus);
        }
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), palette().color(QPalette::Base));
        painter.setFont(font());
        const int first = std::max(event->rect().top() / kListRowPixels, 0);
        const int last = std::min(event->rect().bottom() / kListRowPixels, m_list.ListCount() - 1);
        for (int row = first; row <= last; ++row) {
            const QRect rect = RowRect(row);
            const bool selected = m_list.Selected(row);
            if (selected)
                painter.fillRect(rect, palette().color(QPalette::Highlight));
            painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
            painter.drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                             QString::fromUtf8(m_list.List(row).c_str(), static_cast<int>(m_list.List(row).size())));
            // The keyboard's place, while the list has the focus.
            if (hasFocus() && row == m_list.ListIndex()) {
                painter.setPen(QPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text), 1,
                                    Qt::DotLine));
                painter.drawRect(rect.adjusted(0, 0, -1, -1));
            }
        }
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_list.UserClickRow(static_cast<std::int32_t>((event->position().y() - 1) / kListRowPixels),
                                event->modifiers().testFlag(Qt::ControlModifier),
                                event->modifiers().testFlag(Qt::ShiftModifier));
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        m_list.UserMouseUp(ButtonOf(event->button()), ShiftState(event->modifiers()),
                           static_cast<float>(event->position().x() * m_tpp),
                           static_cast<float>(event->position().y() * m_tpp));
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (m_list.UserKeyDown(ModelKey(event->key()), ShiftState(event->modifiers())) != 0)
            QWidget::keyPressEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override
    {
        QWidget::focusInEvent(event);
        update();
        m_list.UserGotFocus();
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QWidget::focusOutEvent(event);
        update();
    }

private:
    forms::ListBox& m_list;
    int m_tpp;
    int m_announcedRow = -1;
    int m_announcedCount = -1;
};

// One row of a list as a screen reader finds it: its spoken text, selected and focused states.
class ListRowAccessible : public QAccessibleInterface {
public:
    ListRowAccessible(ListBoxWidget* list, int row) : m_list(list), m_row(row) {}

    bool isValid() const override { return !m_list.isNull() && m_row < m_list->Model().ListCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_list.isNull() ? nullptr : m_list->window()->windowHandle(); }
    QAccessibleInterface* parent() const override
    {
        return m_list.isNull() ? nullptr : QAccessible::queryAccessibleInterface(m_list.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name || !isValid())
            return {};
        return QString::fromStdString(core::ListRow(m_list->Model().List(m_row)).Spoken());
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect row = m_list->RowRect(m_row);
        return QRect(m_list->mapToGlobal(row.topLeft()), row.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.selectable = true;
        state.focusable = true;
        state.selected = m_list->Model().Selected(m_row);
        state.focused = m_list->hasFocus() && m_list->Model().ListIndex() == m_row;
        state.multiSelectable = m_list->Model().Kind() == forms::ListBoxKind::MultiSelect;
        return state;
    }

private:
    QPointer<ListBoxWidget> m_list;
    int m_row;
};

// A drawn list as a list of its rows.
class ListBoxAccessible : public QAccessibleWidget {
public:
    explicit ListBoxAccessible(ListBoxWidget* list) : QAccessibleWidget(list, QAccessible::List), m_list(list) {}
    ~ListBoxAccessible() override
    {
        for (const QAccessible::Id id : m_rows)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return m_list->Model().ListCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        while (static_cast<int>(m_rows.size()) <= index)
            m_rows.push_back(QAccessible::registerAccessibleInterface(
                new ListRowAccessible(m_list, static_cast<int>(m_rows.size()))));
        return QAccessible::accessibleInterface(m_rows[static_cast<std::size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            if (QAccessible::accessibleInterface(m_rows[i]) == child)
                return static_cast<int>(i);
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint local = m_list->mapFromGlobal(QPoint(x, y));
        return m_list->rect().contains(local) ? child((local.y() - 1) / kListRowPixels) : nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        return m_list->hasFocus() ? child(m_list->Model().ListIndex()) : nullptr;
    }

private:
    ListBoxWidget* m_list;
    mutable std::vector<QAccessible::Id> m_rows;
};

QAccessibleInterface* ListAccessibleFactory(const QString&, QObject* object)
{
    if (auto* list = dynamic_cast<ListBoxWidget*>(object))
        return new ListBoxAccessible(list);
    return nullptr;
}

} // namespace

QWidget* NewListWidget(forms::ListBox& list, int tpp, QWidget* parent)
{
    // The drawn lists, as lists of rows, to a screen reader.
    static const bool factory = [] {
        QAccessible::installFactory(ListAccessibleFactory);
        return true;
    }();
    (void)factory;
    return new ListBoxWidget(list, tpp, parent);
}

void ListModelChanged(QWidget* listWidget)
{
    if (auto* list = dynamic_cast<ListBoxWidget*>(listWidget))
        list->ModelChanged();
}

} // namespace korvane::qtfront
