#include "app/application.h"

#include "app/main_form.h"
#include "app/session_end.h"
#include "app/vikora_application.h"
#include "catalogue/programok.h"
#include "desktop/instance_command.h"
#include "desktop/single_instance.h"
#include "desktop/termination_signals.h"
#include "help/help_window.h"
#include "help/nevjegy.h"
#include "notes/ablak.h"
#include "seged/error_report.h"
#include "seged/globals.h"
#include "seged/translations.h"
#include "settings/beallit.h"

#include <QPointer>
#include <QScreen>
#include <QSessionManager>

#include <cstdio>

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

void Print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

QStringList ArgumentsAfterProgramName(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// The note windows write through the main form's note store while it exists.
class TMainFormNotes final : public INoteStore {
public:
    void SaveNotePosition(int az, const TNotePlace& place) override
    {
        if (frm_Main)
            frm_Main->Store().SaveNotePosition(az, place);
    }
    void SaveNoteText(int az, const QString& text) override
    {
        if (frm_Main)
            frm_Main->Store().SaveNoteText(az, text);
    }
    void SaveNoteFlagAndDate(int az, bool latszik, TDateTime tol) override
    {
        if (frm_Main)
            frm_Main->Store().SaveNoteFlagAndDate(az, latszik, tol);
    }
    void DeleteNote(int az) override
    {
        if (frm_Main)
            frm_Main->Store().DeleteNote(az);
    }
    void SaveNoteFont(int az, const TFontSpec& font) override
    {
        if (frm_Main)
            frm_Main->Store().SaveNoteFont(az, font);
    }
    void SaveNoteColor(int az, std::int32_t color) override
    {
        if (frm_Main)
            frm_Main->Store().SaveNoteColor(az, color);
    }
    void SaveNoteAlignment(int az, int alignment) override
    {
        if (frm_Main)
            frm_Main->Store().SaveNoteAlignment(az, alignment);
    }
};
}  // namespace

int runApplication(int argc, char** argv)
{
    // The option list needs no display (unless Qt's own options come first).
    if (ParseCommandLine(ArgumentsAfterProgramName(argc, argv)).Kind ==
        TCommandLine::TKind::ShowUsage) {
        Print(stdout, UsageText());
        return 0;
    }
    PreferX11UnderWayland();
    TVikoraApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vikora"));
    QApplication::setQuitOnLastWindowClosed(false);

    // Qt has taken its own options out of the arguments by now.
    const TCommandLine commandLine = ParseCommandLine(ArgumentsAfterProgramName(argc, argv));
    if (commandLine.Kind == TCommandLine::TKind::Refused) {
        Print(stderr, QStringLiteral("vikora: %1\n%2\n").arg(commandLine.Error, UsageLine()));
        return 2;
    }
    if (commandLine.Kind == TCommandLine::TKind::ShowUsage) {
        Print(stdout, UsageText());
        return 0;
    }

    // A later copy hands over before it reads or writes any file.
    TSingleInstance instance(QCoreApplication::applicationFilePath());
    if (instance.HandOver(commandLine.Command))
        return 0;
    // Nothing runs that could be ended.
    if (commandLine.Command == TInstanceCommand::Quit)
        return 0;

    const QScreen* screen = QGuiApplication::primaryScreen();
    ResolveGlobals(QCoreApplication::applicationFilePath(),
                   screen ? screen->availableGeometry() : QRect());
    InstallHungarianTranslations(app);

    static TMainFormNotes notesStore;
    Tfrm_Main form;
    form.OnSugo = [] { ShowHelp(); };
    form.OnNevjegy = [] { ShowNevjegy(); };
    TNoteWindowHooks hooks;
    hooks.Store = &notesStore;
    hooks.NewNote = form.aUj;
    hooks.ShowHelp = [&form] {
        if (form.OnSugo)
            form.OnSugo();
    };
    hooks.EditProperties = [&form](int az, QWidget*) {
        return form.Store().EditProperties(form.DataSource1, az, [&form] {
            if (form.OnSugo)
                form.OnSugo();
        });
    };
    form.SetNoteWindowOpener(
        [hooks](const TNote& note, bool isNew) { OpenNoteWindow(hooks, note, isNew); });
    form.OnBeallit = [] {
        TBeallitEnvironment environment;
        environment.ProgramFile = QCoreApplication::applicationFilePath();
        environment.ReportError = [](const QString& message) { ShowErrorReport(message); };
        if (!ShowBeallit(Beall, environment))
            return;
        // A failed write is reported; the new defaults stay in effect and
        // are written again at exit.
        try {
            SaveDefaults(Beall, SettingsFile);
        } catch (const std::exception& error) {
            ShowErrorReport(QString::fromUtf8(error.what()));
        }
    };
    form.OnProgramok = [&form] {
        ProgramokCommand({&form.CatalogueOpen,
                          [&form](const QString& address) { form.LaunchAddress(address); }});
    };
    QObject::connect(&instance, &TSingleInstance::commandRequested, &form, &Tfrm_Main::RunCommand);
    form.SetStartCommand(commandLine.Command);

    // The exit sequence also runs when the session ends or a signal asks the
    // program to stop.
    // It never waits for a person: open windows are cancelled, and changes
    // that cannot be written where they belong go to a rescue copy.
    TSessionEnd sessionEnd([&form] { form.RunSessionEndExit(); });
    TTerminationWatcher watcher;
    QObject::connect(&watcher, &TTerminationWatcher::terminationRequested, &sessionEnd,
                     [&sessionEnd](int) { sessionEnd.Begin(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &sessionEnd,
                     [&sessionEnd](QSessionManager&) { sessionEnd.Begin(); });

    form.show();
    const int code = app.exec();
    // Note windows have no owner that outlives the event loop: they go now,
    // before the application object, also when a session ended inside a
    // dialog left their deletion to an event loop that no longer runs.
    QList<QPointer<Tfrm_Ablak>> notes;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* note = qobject_cast<Tfrm_Ablak*>(window))
            notes.append(note);
    for (const QPointer<Tfrm_Ablak>& note : notes)
        delete note.data();
    return code;
}

}  // namespace vikora
