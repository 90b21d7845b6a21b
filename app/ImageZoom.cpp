#include "app/ImageZoom.h"

#include <algorithm>
#include <iterator>

namespace orvanel {

namespace {

constexpr float kSteps[] = {
    1.0f / 16, 1.0f / 8, 1.0f / 4, 1.0f / 2, 1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64};

} // namespace

void CImageZoom::OnPictureShown(uint32_t category, float decoderScale)
{
    if (category != m_category) {
        m_category = category;
        m_chosen = false;
        m_fitting = false;
    }
    if (!m_chosen)
        m_scale = decoderScale;
}

void CImageZoom::Choose(float scale)
{
    m_scale = std::clamp(scale, kMinScale, kMaxScale);
    m_chosen = true;
    m_fitting = false;
}

float CImageZoom::StepIn(float scale)
{
    // A fitted scale between two steps goes to the next step up.
    const float* next = std::upper_bound(std::begin(kSteps), std::end(kSteps), scale * 1.0001f);
    return next == std::end(kSteps) ? kMaxScale : *next;
}

float CImageZoom::StepOut(float scale)
{
    const float* next = std::lower_bound(std::begin(kSteps), std::end(kSteps), scale * 0.9999f);
    return next == std::begin(kSteps) ? kMinScale : *(next - 1);
}

float CImageZoom::FitScale(uint32_t width, uint32_t height, int areaWidth, int areaHeight)
{
    if (width == 0 || height == 0 || areaWidth <= 0 || areaHeight <= 0)
        return 1.0f;
    const float scale = std::min(float(areaWidth) / float(width), float(areaHeight) / float(height));
    return std::clamp(scale, kMinScale, kMaxScale);
}

void CImageZoom::FitToArea(uint32_t width, uint32_t height, int areaWidth, int areaHeight)
{
    Choose(FitScale(width, height, areaWidth, areaHeight));
    m_fitting = true;
}

void CImageZoom::Refit(uint32_t width, uint32_t height, int areaWidth, int areaHeight)
{
    if (m_fitting)
        m_scale = FitScale(width, height, areaWidth, areaHeight);
}

} // namespace orvanel
