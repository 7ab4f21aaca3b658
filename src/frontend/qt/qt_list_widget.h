#pragma once

#include "platform/forms/list_box.h"

#include <QWidget>

namespace korvane::qtfront {

// A list drawn from its model, a row of 16 pixels each: moved by the keys as the model says, with
// a focus mark, and to a screen reader a list of rows read as ListRow::Spoken says them.
QWidget* NewListWidget(forms::ListBox& list, int tpp, QWidget* parent);
// The model changed: drawn again, and a screen reader hears of a new current row.
void ListModelChanged(QWidget* listWidget);

} // namespace korvane::qtfront
