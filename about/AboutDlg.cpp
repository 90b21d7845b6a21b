#include "about/AboutDlg.h"

#include "about/StaticEx.h"
#include "about/VersionInfo.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvanel {

namespace {

QLabel* IconLabel(const QString& resource, int size, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setPixmap(QIcon(resource).pixmap(size, size));
    return label;
}

} // namespace

void SetVersionField(CStaticEx& field, const char* key)
{
    std::string text;
    if (ReadVersionString(text, key))
        field.SetLinkText(QString::fromUtf8(text.c_str()));
}

void SetVersionLine(CStaticEx& field, uint32_t options)
{
    std::string version;
    const char* key = (options & kVersionFromFileVersion) ? "FileVersion" : "ProductVersion";
    if (!ReadVersionString(version, key))
        return;
    std::string privateBuild, specialBuild;
    const bool hasPrivate = ReadVersionString(privateBuild, "PrivateBuild");
    const bool hasSpecial = ReadVersionString(specialBuild, "SpecialBuild");
    const std::string line = BuildVersionLine(
        version, options, hasPrivate ? &privateBuild : nullptr, hasSpecial ? &specialBuild : nullptr);
    field.SetLinkText(QString::fromUtf8(line.c_str()));
}

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent), m_productName(new CStaticEx(QStringLiteral("productname"), this)),
      m_version(new CStaticEx(QStringLiteral("version"), this)),
      m_web(new CStaticEx(QStringLiteral("web"), this)),
      m_copyright(new CStaticEx(QStringLiteral("copyright"), this)),
      m_email(new CStaticEx(QStringLiteral("email"), this))
{
    setWindowTitle(tr("About Orvanel"));

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(IconLabel(QStringLiteral(":/icons/orvanel.svg"), 32, this), 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(m_productName, 0, 1);
    layout->addWidget(ok, 0, 2, Qt::AlignTop | Qt::AlignRight);
    layout->addWidget(m_version, 1, 1);
    layout->addWidget(m_web, 2, 1);
    layout->addWidget(IconLabel(QStringLiteral(":/icons/maker.svg"), 32, this), 3, 0, Qt::AlignTop);
    layout->addWidget(new QLabel(tr("Made by Glintware for the players of Tarnwick."), this), 3, 1);
    layout->addWidget(m_copyright, 4, 1);
    layout->addWidget(m_email, 5, 1);
    layout->addWidget(new QLabel(tr("Texture decompression by libsquish."), this), 6, 1);
    layout->addWidget(new QLabel(tr("JPEG decoding by the Independent JPEG Group's library."), this), 7, 1);
    layout->addWidget(new QLabel(tr("Windows and controls by Qt."), this), 8, 1);
    layout->setColumnStretch(1, 1);

    SetVersionField(*m_email, "SpecialBuild");
    m_email->SetLink(true);
    SetVersionField(*m_web, "Comments");
    m_web->SetLink(true);
    SetVersionField(*m_copyright, "LegalCopyright");
    SetVersionField(*m_productName, "ProductName");
    SetVersionLine(*m_version, kAboutVersionOptions);
    ok->setFocus();
}

} // namespace orvanel
