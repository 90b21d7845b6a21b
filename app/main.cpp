// orvanel: the desktop viewer for Tarnwick DAT archives.

#include "app/MainFrame.h"
#include "app/OrvanelApp.h"
#include "archive/HeapReuse.h"
#include "platform/QtBusyIndicator.h"
#include "platform/QtInterruptWatcher.h"
#include "platform/QtUserPrompts.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    orvanel::KeepFreedMemoryForReuse();
    QApplication application(argc, argv);
    QApplication::setOrganizationName(orvanel::kCompanyName);
    QApplication::setApplicationName(orvanel::kApplicationName);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/orvanel.svg")));
    // Interrupt, termination and hang-up end the program through its event loop, so that a
    // Save under way leaves no temporary file behind.
    orvanel::CQtInterruptWatcher interrupts;

    orvanel::CQtUserPrompts prompts;
    orvanel::CQtBusyIndicator busy;
    QSettings settings(orvanel::kCompanyName, orvanel::kApplicationName);
    orvanel::COrvanelApp app(prompts, busy, settings, orvanel::CreateDefaultRegistrySource());

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!app.InitInstance(arguments))
        return 1;
    prompts.SetParent(app.GetMainFrame());
    return QApplication::exec();
}
