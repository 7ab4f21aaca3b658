#include "platform/forms/picture_box.h"

namespace korvane::forms {

void PictureBox::SetBackColor(image::Color color)
{
    if (color == m_backColor)
        return;
    m_backColor = color;
    NotifyChanged();
}

void PictureBox::SetPicture(image::Surface picture)
{
    m_picture = std::move(picture);
    NotifyChanged();
}

void PictureBox::ClearPicture()
{
    m_picture = image::Surface();
    NotifyChanged();
}

} // namespace korvane::forms
