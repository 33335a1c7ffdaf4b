#pragma once

#include <QObject>
#include <QString>

// Failure codes of a launch, named as the shell names them. A launch that
// fails stores one of them as the launcher's LastError().
inline constexpr int SE_ERR_FNF = 2;
inline constexpr int SE_ERR_PNF = 3;
inline constexpr int SE_ERR_ACCESSDENIED = 5;
inline constexpr int SE_ERR_OOM = 8;
inline constexpr int SE_ERR_SHARE = 26;
inline constexpr int SE_ERR_ASSOCINCOMPLETE = 27;
inline constexpr int SE_ERR_DDETIMEOUT = 28;
inline constexpr int SE_ERR_DDEFAIL = 29;
inline constexpr int SE_ERR_DDEBUSY = 30;
inline constexpr int SE_ERR_NOASSOC = 31;
inline constexpr int SE_ERR_DLLNOTFOUND = 32;

// The shell verb. Only smOpen has a meaning on this desktop.
enum TStartOperation { smOpen, smPrint, smExplore, smEdit, smProperties };

// The show command handed to the started program; the desktop's opener
// decides how it shows itself, so the value is kept but not used.
enum TStartOption {
    soSW_HIDE,
    soSW_SHOWNORMAL,
    soSW_SHOWMINIMIZED,
    soSW_SHOWMAXIMIZED,
    soSW_SHOWNOACTIVATE,
    soSW_SHOW,
    soSW_MINIMIZE,
    soSW_SHOWMINNOACTIVE,
    soSW_SHOWNA,
    soSW_RESTORE
};

// Opens a web or "mailto:" address with the user's browser or mail program
// through the desktop's standard opener. It does not wait for the started
// program and shows nothing when the launch fails: the failure is only kept
// as LastError().
class TStarter : public QObject {
    Q_OBJECT

public:
    explicit TStarter(QObject* parent = nullptr);

    QString Command() const { return m_command; }
    void SetCommand(const QString& command) { m_command = command; }
    // Kept for callers; an address opener takes no parameters and no folder.
    QString Parameters() const { return m_parameters; }
    void SetParameters(const QString& parameters) { m_parameters = parameters; }
    QString DefaultDir() const { return m_defaultDir; }
    void SetDefaultDir(const QString& folder) { m_defaultDir = folder; }
    TStartOperation StartOperation() const { return m_startOperation; }
    void SetStartOperation(TStartOperation operation) { m_startOperation = operation; }
    TStartOption StartOption() const { return m_startOption; }
    void SetStartOption(TStartOption option) { m_startOption = option; }
    bool Wait() const { return m_wait; }
    void SetWait(bool wait) { m_wait = wait; }

    // Opens Command. An empty command or one that is not an address fails
    // with SE_ERR_FNF; an address the desktop refuses to open, or a verb
    // other than smOpen, with SE_ERR_NOASSOC. Nothing is kept from one
    // launch to the next but the last failure's code.
    void Execute();

    // The code of the last failed launch; 0 until a launch fails. A later
    // successful launch leaves it as it was.
    int LastError() const { return m_lastError; }

private:
    QString m_command;
    QString m_parameters;
    QString m_defaultDir;
    TStartOperation m_startOperation = smOpen;
    TStartOption m_startOption = soSW_SHOW;
    bool m_wait = false;
    int m_lastError = 0;
};
