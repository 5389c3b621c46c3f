#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The command line of torvika-send: every argument checked and every command turned into the
// bytes the panel sends for the same action, before anything is opened. Pure apart from
// reading the character set files that `chars` names.
namespace torvika::sendcli {

// One command of the command line and what it puts on the line.
struct Step {
    QString command;          // "cursor"
    QList<QByteArray> writes; // the frame, then any confirmation text, in order
    bool readsReply = false;  // read-inputs: one byte comes back
};

struct Invocation {
    enum class Action { Send, Probe, Help, Version };
    Action action = Action::Send;
    std::optional<int> port;  // --port N
    QStringList devices;      // --device PATH (once to send; any number to probe)
    std::optional<int> speed; // --speed
    QString settingsFile;     // --settings FILE; empty: the panel's own file
    bool dryRun = false;
    bool readStdin = false; // --stdin: the commands come from standard input, a line at a time
    QList<Step> steps;
};

struct ParseResult {
    std::optional<Invocation> invocation;
    // What is wrong and where: "argument 3 (\"2\"): cursor ROW is ..."; empty on success.
    QString error;
};

// `arguments` without the program's name.
ParseResult parseArguments(const QStringList &arguments);

// One line of --stdin: commands only, its words split and quoted as the shell does ('...',
// "...", backslash, # comments). An empty line gives no steps.
ParseResult parseCommandLine(const QString &line);

// The words of `line` as the shell would split them; none, with the problem, for an unclosed
// quote.
std::optional<QStringList> splitWords(const QString &line, QString &problem);

// Every byte of the steps, in the order they go out.
QByteArray bytesOf(const QList<Step> &steps);

// The frames of the steps as the module reads them, one line each: "FE 32 01 0F  cursor to
// row 1, column 15".
QStringList frameLines(const QList<Step> &steps);

// "1=HIGH 2=LOW 3=HIGH"
QString inputsLine(std::uint8_t reply);

QString usageText();

} // namespace torvika::sendcli
