#include "platform/forms/simple_controls.h"

namespace korvane::forms {

void Label::SetCaption(std::string value)
{
    if (value == m_caption)
        return;
    m_caption = std::move(value);
    NotifyChanged();
}

void Label::SetLook(LabelLook look)
{
    if (look == m_look)
        return;
    m_look = look;
    NotifyChanged();
}

void CheckBox::SetCaption(std::string value)
{
    if (value == m_caption)
        return;
    m_caption = std::move(value);
    NotifyChanged();
}

void CheckBox::SetValue(std::int16_t value)
{
    if (value == m_value)
        return;
    m_value = value;
    NotifyChanged();
    if (OnClick)
        OnClick();
}

void CheckBox::UserClick()
{
    if (!Enabled() || !Visible())
        return;
    SetValue(m_value == 1 ? 0 : 1);
    if (OnMouseUp)
        OnMouseUp(kLeftButton, 0, 0.0F, 0.0F);
}

void Button::SetCaption(std::string value)
{
    if (value == m_caption)
        return;
    m_caption = std::move(value);
    NotifyChanged();
}

void Button::UserClick()
{
    if (!Enabled() || !Visible())
        return;
    if (OnClick)
        OnClick();
}

void TextBox::SetText(std::string value)
{
    if (value == m_text)
        return;
    m_text = std::move(value);
    NotifyChanged();
    if (OnChange)
        OnChange();
}

void TextBox::UserType(std::string value)
{
    if (!Enabled() || !Visible() || value == m_text)
        return;
    SetText(std::move(value));
    if (OnUserChange)
        OnUserChange();
}

void TextBox::UserEnter()
{
    if (Enabled() && Visible() && OnEnter)
        OnEnter();
}

} // namespace korvane::forms
