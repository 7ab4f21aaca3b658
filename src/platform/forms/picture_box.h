#pragma once

#include "platform/forms/control.h"
#include "platform/image/surface.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace korvane::forms {

// A picture box: a back colour and a persistent drawn image in pixels.
class PictureBox : public Control {
public:
    // Inner height in twips: the height less the border on both sides.
    std::int32_t InnerHeight() const { return Height() - 2 * m_borderTwips; }
    std::int32_t InnerWidth() const { return Width() - 2 * m_borderTwips; }
    std::int32_t BorderTwips() const { return m_borderTwips; }
    void SetBorderTwips(std::int32_t twips) { m_borderTwips = twips; }

    image::Color BackColor() const { return m_backColor; }
    void SetBackColor(image::Color color);
    // The image the box shows; an empty surface shows only the back colour.
    const image::Surface& Picture() const { return m_picture; }
    image::Surface& EditPicture() { return m_picture; }
    void SetPicture(image::Surface picture);
    // Hands the picture over, to be drawn again in its memory and set back; the box is empty
    // meanwhile and nothing is shown of it until SetPicture.
    image::Surface TakePicture() { return std::exchange(m_picture, image::Surface()); }
    void ClearPicture();
    // Shows the edited picture (the front end repaints).
    void Refresh() { NotifyChanged(); }
    const std::string& Tag() const { return m_tag; }
    void SetTag(std::string tag) { m_tag = std::move(tag); }

    std::function<void()> OnClick;
    std::function<void(int button, int shift, float x, float y)> OnMouseMove;
    // The pointer is over the box, at this pixel of its picture.
    std::function<void(int x, int y)> OnPointAt;

private:
    std::int32_t m_borderTwips = 0;
    image::Color m_backColor = image::kWhite;
    image::Surface m_picture;
    std::string m_tag;
};

} // namespace korvane::forms
