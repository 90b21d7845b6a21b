#include "archive/DATArchive.h"

namespace orvanel {

CDATArchive::CDATArchive(std::string path, IUserPrompts& prompts, IBusyIndicator& busy)
    : m_fileName(std::move(path)), m_prompts(&prompts), m_busy(&busy)
{
    QueryFileStatus(m_fileName, m_fileStatus);
    m_view = MapDATFile(m_fileName, false);
    m_viewSize = DATViewSize(m_view);
    for (uint8_t category = 0;; ++category) {
        if (const char* name = CategoryName(category))
            m_categoryNames.emplace(category, name);
        if (category == 0xFF)
            break;
    }
}

CDATArchive::~CDATArchive()
{
    ClearCatalogue();
    UnmapDATFile(m_view);
}

} // namespace orvanel
