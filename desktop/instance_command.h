#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <optional>

// What a later copy can ask the running copy to do. ComeForward is a start
// without an option; the others are the tray menu's commands, reachable from
// the command line and the launcher's desktop actions when there is no tray.
enum class TInstanceCommand { ComeForward, NewNote, Settings, Catalogue, Help, About, Quit };
Q_DECLARE_METATYPE(TInstanceCommand)

// The message a later copy started without an option sends.
inline constexpr char ComeForwardMessage[] = "vikora:come-forward\n";

// The bytes sent over the single-instance socket for a command.
QByteArray InstanceMessage(TInstanceCommand command);
// The command a received message names; nullopt for anything else.
std::optional<TInstanceCommand> InstanceCommandFromMessage(const QByteArray& message);
// Whether more bytes could still make `received` a message.
bool BeginsInstanceMessage(const QByteArray& received);
// The longest message a sender may send.
qsizetype LongestInstanceMessage();

// What the command line asks for.
struct TCommandLine {
    enum class TKind { Run, ShowUsage, Refused };
    TKind Kind = TKind::Run;
    // The command to carry out (ComeForward without an option).
    TInstanceCommand Command = TInstanceCommand::ComeForward;
    // Why it was refused.
    QString Error;
};

// Reads the arguments after the program name (Qt's own options already
// taken out). At most one option; nothing else is accepted.
TCommandLine ParseCommandLine(const QStringList& arguments);

// The text `vikora --help` prints.
QString UsageText();
// The one line printed with a refused command line.
QString UsageLine();
