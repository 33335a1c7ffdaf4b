#include "desktop/instance_command.h"

#include <algorithm>
#include <array>

namespace {

struct TCommandName {
    TInstanceCommand Command;
    const char* Option;  // empty: not given on the command line
    const char* Message;
    const char* Meaning;
};

constexpr std::array<TCommandName, 7> Commands{{
    {TInstanceCommand::ComeForward, "", ComeForwardMessage, ""},
    {TInstanceCommand::NewNote, "--new-note", "vikora:new-note\n", "új cetli (Új ablak készítés)"},
    {TInstanceCommand::Settings, "--settings", "vikora:settings\n", "Beállítások"},
    {TInstanceCommand::Catalogue, "--catalogue", "vikora:catalogue\n",
     "További letölthető programok"},
    {TInstanceCommand::Help, "--help-window", "vikora:help\n", "Súgó"},
    {TInstanceCommand::About, "--about", "vikora:about\n", "Névjegy"},
    {TInstanceCommand::Quit, "--quit", "vikora:quit\n", "Bezár: mentés és kilépés"},
}};

const TCommandName& NameOf(TInstanceCommand command)
{
    return *std::find_if(Commands.begin(), Commands.end(),
                         [command](const TCommandName& name) { return name.Command == command; });
}

TCommandLine Refused(const QString& error)
{
    TCommandLine line;
    line.Kind = TCommandLine::TKind::Refused;
    line.Error = error;
    return line;
}

}  // namespace

QByteArray InstanceMessage(TInstanceCommand command)
{
    return QByteArray(NameOf(command).Message);
}

std::optional<TInstanceCommand> InstanceCommandFromMessage(const QByteArray& message)
{
    for (const TCommandName& name : Commands) {
        if (message == name.Message)
            return name.Command;
    }
    return std::nullopt;
}

bool BeginsInstanceMessage(const QByteArray& received)
{
    return std::any_of(Commands.begin(), Commands.end(), [&received](const TCommandName& name) {
        return QByteArray(name.Message).startsWith(received);
    });
}

qsizetype LongestInstanceMessage()
{
    qsizetype longest = 0;
    for (const TCommandName& name : Commands)
        longest = std::max<qsizetype>(longest, qstrlen(name.Message));
    return longest;
}

TCommandLine ParseCommandLine(const QStringList& arguments)
{
    TCommandLine result;
    bool commandGiven = false;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            result.Kind = TCommandLine::TKind::ShowUsage;
            continue;
        }
        const auto found =
            std::find_if(Commands.begin(), Commands.end(), [&argument](const TCommandName& name) {
                return name.Option[0] != '\0' && argument == QLatin1String(name.Option);
            });
        if (found == Commands.end())
            return Refused(QStringLiteral("ismeretlen kapcsoló: %1").arg(argument));
        if (commandGiven)
            return Refused(QStringLiteral("egyszerre csak egy kapcsoló adható meg"));
        commandGiven = true;
        result.Command = found->Command;
    }
    return result;
}

QString UsageLine()
{
    QStringList options;
    for (const TCommandName& name : Commands) {
        if (name.Option[0] != '\0')
            options << QLatin1String(name.Option);
    }
    return QStringLiteral("Használat: vikora [%1 | --help]")
        .arg(options.join(QLatin1String(" | ")));
}

QString UsageText()
{
    QString text =
        UsageLine() + QStringLiteral("\n\nEmlékeztető cetlik az asztalon. Kapcsoló nélkül "
                                     "elindítja a programot, vagy ha már fut, előhozza a "
                                     "cetliket.\nA kapcsolók a tálcaikon menüjének parancsait "
                                     "adják át a futó példánynak (ha nem fut, a program "
                                     "elindul, és utána hajtja végre; a --quit ilyenkor "
                                     "nem indít semmit):\n\n");
    for (const TCommandName& name : Commands) {
        if (name.Option[0] != '\0')
            text += QStringLiteral("  %1%2\n")
                        .arg(QLatin1String(name.Option), -16)
                        .arg(QString::fromUtf8(name.Meaning));
    }
    text += QStringLiteral("  %1%2\n")
                .arg(QStringLiteral("--help"), -16)
                .arg(QStringLiteral("ez a leírás"));
    return text;
}
