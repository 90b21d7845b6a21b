#pragma once
// The scale a picture is drawn at. Each picture opens at the scale its decoder gives (a colour
// table at 800%, a texture at 100%) until the user zooms; the zoom chosen then holds for the
// following pictures of the same category, and Fit to Pane keeps fitting each of them.

#include <cstdint>

namespace orvanel {

class CImageZoom {
public:
    static constexpr float kMinScale = 1.0f / 16.0f;
    static constexpr float kMaxScale = 64.0f;
    // From this scale up a pixel is large enough to be outlined by the pixel grid.
    static constexpr float kGridScale = 8.0f;

    // A picture of category is shown; decoderScale is the scale its decoder asks for.
    void OnPictureShown(uint32_t category, float decoderScale);
    float Scale() const { return m_scale; }
    bool IsFitting() const { return m_fitting; }

    // The next larger or smaller of the usual steps (12.5%, 25%, 50%, 100%, 200%, ...).
    void ZoomIn() { Choose(StepIn(m_scale)); }
    void ZoomOut() { Choose(StepOut(m_scale)); }
    void ActualSize() { Choose(1.0f); }
    // Fits the picture of width x height into an area, and keeps fitting later pictures.
    void FitToArea(uint32_t width, uint32_t height, int areaWidth, int areaHeight);
    // While fitting: the scale for a new picture or a new area size.
    void Refit(uint32_t width, uint32_t height, int areaWidth, int areaHeight);

    static float StepIn(float scale);
    static float StepOut(float scale);
    // The largest scale at which the picture fits the area, within the zoom's limits.
    static float FitScale(uint32_t width, uint32_t height, int areaWidth, int areaHeight);

private:
    void Choose(float scale);

    static constexpr uint32_t kNoCategory = UINT32_MAX;
    uint32_t m_category = kNoCategory;
    float m_scale = 1.0f;
    bool m_chosen = false;
    bool m_fitting = false;
};

} // namespace orvanel
