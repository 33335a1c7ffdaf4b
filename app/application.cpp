#include "app/application.h"

#include "app/main_form.h"
#include "app/seged/globals.h"
#include "app/seged/translations.h"
#include "app/vikora_application.h"
#include "desktop/app_instance.h"
#include "desktop/one_instance.h"
#include "desktop/termination_signals.h"

#include <QScreen>
#include <QSessionManager>

namespace vikora {

namespace {
// Notes are placed at stored screen positions, which only X11 allows; under
// Wayland the program runs through XWayland unless the user chose otherwise.
void PreferX11UnderWayland()
{
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}
}  // namespace

int runApplication(int argc, char** argv)
{
    PreferX11UnderWayland();
    TVikoraApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vikora"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vikora"));
    QApplication::setQuitOnLastWindowClosed(false);

    // A later copy hands over before it reads or writes any file.
    TAppInstance instance(QCoreApplication::applicationFilePath());
    TOneInstance OneInstance1;
    if (OneInstance1.Loaded(instance))
        return 0;

    const QScreen* screen = QGuiApplication::primaryScreen();
    ResolveGlobals(QCoreApplication::applicationFilePath(),
                   screen ? screen->availableGeometry() : QRect());
    InstallHungarianTranslations(app);

    Tfrm_Main form;
    QObject::connect(&instance, &TAppInstance::activationRequested, &form,
                     &Tfrm_Main::BringNotesForward);

    // The exit sequence also runs when the session ends or a signal asks the
    // program to stop.
    TTerminationWatcher watcher;
    QObject::connect(&watcher, &TTerminationWatcher::terminationRequested, &form,
                     [&form](int) { form.close(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager&) { form.close(); });

    form.show();
    return app.exec();
}

}  // namespace vikora
