#pragma once

#include "platform/forms/control.h"

#include <cstdint>
#include <functional>
#include <string>

namespace korvane::forms {

// How a label is painted: normal (transparent, menu text colour) or highlighted (the system
// highlight colour behind highlight text), as a menu item under the pointer is.
enum class LabelLook { Normal, Highlighted };

// A text label.
class Label : public Control {
public:
    explicit Label(std::string caption = {}) : m_caption(std::move(caption)) {}
    const std::string& Caption() const { return m_caption; }
    void SetCaption(std::string value);
    LabelLook Look() const { return m_look; }
    void SetLook(LabelLook look);

    // What the user does.
    void UserClick()
    {
        if (Enabled() && OnClick)
            OnClick();
    }
    void UserMouseMove()
    {
        if (OnMouseMove)
            OnMouseMove();
    }

    std::function<void()> OnClick;
    std::function<void()> OnMouseMove;

private:
    std::string m_caption;
    LabelLook m_look = LabelLook::Normal;
};

// A check box: value 0 (clear) or 1 (ticked). Click runs whenever the value changes,
// whether the user or the program changed it.
class CheckBox : public Control {
public:
    explicit CheckBox(std::string caption = {}, std::int16_t value = 0) : m_caption(std::move(caption)), m_value(value)
    {
    }
    const std::string& Caption() const { return m_caption; }
    void SetCaption(std::string value);

    std::int16_t Value() const { return m_value; }
    void SetValue(std::int16_t value);
    bool Ticked() const { return m_value == 1; }

    // What the user does: a click toggles the value (Click runs), then the button goes up.
    void UserClick();

    void UserMouseMove()
    {
        if (OnMouseMove)
            OnMouseMove();
    }

    std::function<void()> OnClick;
    std::function<void(int button, int shift, float x, float y)> OnMouseUp;
    std::function<void()> OnMouseMove;

private:
    std::string m_caption;
    std::int16_t m_value = 0;
};

// A push button.
class Button : public Control {
public:
    explicit Button(std::string caption = {}) : m_caption(std::move(caption)) {}
    const std::string& Caption() const { return m_caption; }
    void SetCaption(std::string value);

    // What the user does; a disabled or hidden button ignores it.
    void UserClick();

    std::function<void()> OnClick;

private:
    std::string m_caption;
};

// A one-line field the user types in. OnChange runs whenever the text changes, by the user or the
// program; OnEnter when the user presses Enter in it.
class TextBox : public Control {
public:
    const std::string& Text() const { return m_text; }
    void SetText(std::string value);
    // What the user does; a disabled or hidden field ignores it.
    void UserType(std::string value);
    void UserEnter();
    std::function<void()> OnChange;
    std::function<void()> OnUserChange; // after OnChange, for the user's typing only
    std::function<void()> OnEnter;

private:
    std::string m_text;
};

} // namespace korvane::forms
