#pragma once
// The About box: the program's name, version, copyright and two links, all read from the
// program's own version information.

#include <QDialog>

#include <cstdint>

namespace orvanel {

class CStaticEx;

inline constexpr uint32_t kAboutVersionOptions = 188;

// Puts the version string of key into field when it exists.
void SetVersionField(CStaticEx& field, const char* key);
// Puts the version line built with options into field when the version string exists.
void SetVersionLine(CStaticEx& field, uint32_t options);

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    CStaticEx& GetProductName() { return *m_productName; }
    CStaticEx& GetVersion() { return *m_version; }
    CStaticEx& GetWeb() { return *m_web; }
    CStaticEx& GetCopyright() { return *m_copyright; }

private:
    CStaticEx* m_productName;
    CStaticEx* m_version;
    CStaticEx* m_web;
    CStaticEx* m_copyright;
    CStaticEx* m_email;
};

} // namespace orvanel
