#include "sendcli/arguments.h"

#include "protocol/framedecoder.h"
#include "protocol/frames.h"
#include "settings/charsetfile.h"
#include "settings/startvalues.h"

#include <QHash>

#include <initializer_list>

namespace torvika::sendcli {

namespace {

using namespace protocol;

// What a command's arguments give: its writes, or which of them is wrong and why.
struct Built {
    QList<QByteArray> writes;
    QString problem;      // reads after the command's name: "ROW is a whole number ..."
    int badArgument = -1; // among the command's own arguments; -1: the command word itself
};

Built fail(int argument, QString why) {
    return {{}, std::move(why), argument};
}

// The frame of a builder whose arguments were checked against the display's bounds first.
Built sends(const std::optional<Frame> &frame) {
    return {{frame->toByteArray()}, {}, -1};
}
Built sends(QList<QByteArray> writes) {
    return {std::move(writes), {}, -1};
}

std::optional<int> number(const QString &text, int min, int max) {
    int value = 0;
    if (!parseWholeNumber(text, value) || value < min || value > max)
        return std::nullopt;
    return value;
}

QString numberProblem(const char *label, int min, int max) {
    return QStringLiteral("%1 is a whole number from %2 to %3")
        .arg(QLatin1String(label))
        .arg(min)
        .arg(max);
}

// The position of `text` among `choices`, -1 when it is none of them.
int choice(const QString &text, std::initializer_list<const char *> choices) {
    int i = 0;
    for (const char *c : choices) {
        if (text == QLatin1String(c))
            return i;
        ++i;
    }
    return -1;
}

using Args = QStringList;

Built text(const Args &a) {
    QList<QByteArray> writes;
    for (const char32_t code : a[0].toUcs4()) {
        const QString shown = code < FirstTextByte
                                  ? QStringLiteral("a control character")
                                  : QStringLiteral("\"%1\"").arg(QString::fromUcs4(&code, 1));
        // The module reads the prefix as the start of a command, whatever follows it: text
        // from a script must never turn into commands.
        if (code == CommandPrefix)
            return fail(0, QStringLiteral("STRING holds %1 (code %2), which the module reads as "
                                          "the start of a command")
                               .arg(shown)
                               .arg(CommandPrefix));
        const std::optional<Frame> frame =
            code > 255 ? std::nullopt : textChar(static_cast<int>(code));
        if (!frame)
            return fail(0,
                        QStringLiteral("STRING holds %1 (code %2), which the display cannot show: "
                                       "text is codes %3 to 255")
                            .arg(shown)
                            .arg(static_cast<uint>(code))
                            .arg(FirstTextByte));
        writes.append(frame->toByteArray());
    }
    return sends(std::move(writes));
}

Built cursor(const Args &a) {
    const auto row = number(a[0], 0, DisplayRows - 1);
    if (!row)
        return fail(0, numberProblem("ROW", 0, DisplayRows - 1));
    const auto column = number(a[1], 0, DisplayColumns - 1);
    if (!column)
        return fail(1, numberProblem("COLUMN", 0, DisplayColumns - 1));
    return sends(setCursorPosition(*row, *column));
}

Built cursorStyleOf(const Args &a) {
    const int style = choice(a[0], {"underline", "block", "hidden"});
    if (style < 0)
        return fail(0, QStringLiteral("STYLE is underline, block or hidden"));
    return sends(cursorStyle(style));
}

// clear-row (index 0) and clear-column (index 1), as the two buttons of the panel.
template <int Index> Built clearRowOrColumnOf(const Args &a) {
    const int last = (Index == 0 ? DisplayRows : DisplayColumns) - 1;
    const auto value = number(a[0], 0, last);
    if (!value)
        return fail(0, numberProblem(Index == 0 ? "ROW" : "COLUMN", 0, last));
    return sends(clearRowOrColumn(Index, *value));
}

Built customChar(const Args &a) {
    // Numbered as the panel's buttons "1" to "8".
    const auto n = number(a[0], 1, UserChars);
    if (!n)
        return fail(0, numberProblem("N", 1, UserChars));
    return sends(insertCustomChar(*n - 1));
}

Built backlightOf(const Args &a) {
    const int index = choice(a[0], {"on", "off"});
    if (index < 0)
        return fail(0, QStringLiteral("STATE is on or off"));
    return sends(backlight(index));
}

Built brightness(const Args &a) {
    const auto level = number(a[0], MinBrightness, MaxBrightness);
    if (!level)
        return fail(0, numberProblem("LEVEL", MinBrightness, MaxBrightness));
    return sends(setBrightness(*level));
}

Built outputs(const Args &a) {
    bool on[Outputs] = {};
    for (int i = 0; i < Outputs; ++i) {
        const int state = choice(a[i], {"on", "off"});
        if (state < 0)
            return fail(i, QStringLiteral("OUTPUT%1 is on or off").arg(i + 1));
        on[i] = state == 0;
    }
    return sends(setOutputs(outputMask(on[0], on[1], on[2])));
}

Built bar(const Args &a) {
    const int kind = choice(a[0], {"init", "right", "left"});
    if (kind < 0)
        return fail(0,
                    QStringLiteral("is \"bar init\", \"bar right WIDTH\" or \"bar left WIDTH\""));
    if (kind == 0) {
        if (a.size() > 1)
            return fail(1, QStringLiteral("init takes no WIDTH"));
        return sends(initGraph());
    }
    if (a.size() < 2)
        return fail(0, QStringLiteral("%1 needs a WIDTH").arg(a[0]));
    const auto width = number(a[1], MinGraphWidth, MaxGraphWidth);
    if (!width)
        return fail(1, numberProblem("WIDTH", MinGraphWidth, MaxGraphWidth));
    // "right" grows from the left edge to the right, as "Draw Left to Right Graph".
    return sends(graph(kind - 1, *width - 1));
}

Built chars(const Args &a) {
    const charset::ReadResult read = charset::readFile(a[0]);
    if (!read.set)
        return fail(0, QStringLiteral("FILE cannot be used: ") + read.problem);
    return sends(customCharWrites(read.set->chars));
}

Built startup(const Args &a) {
    const QString row1 = a.value(1);
    for (int r = 0; r < a.size(); ++r) {
        if (a[r].size() > StartupRowLength)
            return fail(r, QStringLiteral("ROW%1 has %2 characters; a row holds at most %3")
                               .arg(r)
                               .arg(a[r].size())
                               .arg(StartupRowLength));
    }
    if (a[0].isEmpty())
        return fail(0, QStringLiteral("ROW0 is empty; the startup screen needs text in row 0"));
    const StartupScreen screen = setStartupScreen(a[0], row1);
    if (!screen.problem.isEmpty()) {
        // The command line says once, for every refusal, that nothing was sent.
        QString problem = screen.problem;
        problem.remove(QStringLiteral("; nothing is sent."));
        return fail(setStartupScreen(a[0], {}).problem.isEmpty() ? 1 : 0, problem);
    }
    return sends({screen.frame});
}

Built moduleSpeed(const Args &a) {
    const QList<QByteArray> writes = moduleSpeedWrites(a[0].toInt());
    if (writes.isEmpty() || a[0] != QString::number(a[0].toInt()))
        return fail(0,
                    QStringLiteral("SPEED is %1 or %2").arg(ModuleSpeedLow).arg(ModuleSpeedHigh));
    return sends(writes);
}

template <Frame (*build)()> Built plain(const Args &) {
    return sends(build());
}

template <int Index> Built lcd(const Args &) {
    return sends(lcdControl(Index));
}

Built save(const Args &) {
    return sends({saveSettings().toByteArray(), SettingsSavedText.toByteArray()});
}

struct Rule {
    const char *name;
    const char *usage; // the arguments, for --help
    const char *what;
    int minArgs, maxArgs;
    Built (*build)(const Args &);
    bool readsReply = false;
};

constexpr Rule Rules[] = {
    {"text", "STRING", "the characters of STRING (codes 32 to 255 but 254)", 1, 1, text},
    {"home", "", "cursor home", 0, 0, lcd<0>},
    {"next-line", "", "cursor to the start of the other row", 0, 0, lcd<1>},
    {"clear", "", "clear the screen", 0, 0, lcd<2>},
    {"backspace", "", "back space", 0, 0, plain<backspace>},
    {"left", "", "cursor left", 0, 0, plain<cursorLeft>},
    {"right", "", "cursor right", 0, 0, plain<cursorRight>},
    {"cursor", "ROW COLUMN", "cursor to ROW 0..1, COLUMN 0..15", 2, 2, cursor},
    {"cursor-style", "underline|block|hidden", "the cursor's look", 1, 1, cursorStyleOf},
    {"clear-row", "ROW", "blank row 0..1", 1, 1, clearRowOrColumnOf<0>},
    {"clear-column", "COLUMN", "blank column 0..15", 1, 1, clearRowOrColumnOf<1>},
    {"char", "N", "user character 1..8 at the cursor", 1, 1, customChar},
    {"backlight", "on|off", "switch the backlight", 1, 1, backlightOf},
    {"brightness", "LEVEL", "backlight brightness 50..250", 1, 1, brightness},
    {"outputs", "on|off on|off on|off", "set outputs 1, 2 and 3", 3, 3, outputs},
    {"read-inputs", "", "print the inputs: 1=HIGH 2=LOW 3=HIGH", 0, 0, plain<readInputs>, true},
    {"bar", "init | right WIDTH | left WIDTH", "bar characters; a bar of 1..80 columns", 1, 2, bar},
    {"load-chars", "", "load the user characters from the module's memory", 0, 0,
     plain<loadCustomChars>},
    {"show-startup", "", "show the stored startup screen", 0, 0, plain<showStartupScreen>},
    {"chars", "FILE", "define the 8 user characters from a character set file", 1, 1, chars},
    {"startup", "ROW0 [ROW1]", "store the startup screen (up to 16 characters a row)", 1, 2,
     startup},
    {"startup-erase", "", "erase the startup screen", 0, 0,
     [](const Args &) { return sends(eraseStartupScreenWrites()); }},
    {"module-speed", "9600|19200", "switch the module's own line speed", 1, 1, moduleSpeed},
    {"save", "", "keep the settings in the module's memory", 0, 0, save},
};

const Rule *findRule(const QString &word) {
    for (const Rule &rule : Rules)
        if (word == QLatin1String(rule.name))
            return &rule;
    return nullptr;
}

struct OptionRule {
    const char *name;
    const char *value; // what the value is, for "--port needs a port number"; null: no value
    bool afterProbe;   // may follow "probe"
    bool once;         // refused when given twice
    // Takes the option in; the problem with its value, empty when it is fine.
    QString (*take)(Invocation &inv, const QString &value);
};

QString portOption(Invocation &inv, const QString &value) {
    inv.port = number(value, FirstPort, LastPort);
    return inv.port ? QString()
                    : QStringLiteral("--port is a port number from %1 to %2")
                          .arg(FirstPort)
                          .arg(LastPort);
}

QString speedOption(Invocation &inv, const QString &value) {
    if (value != QString::number(ModuleSpeedLow) && value != QString::number(ModuleSpeedHigh))
        return QStringLiteral("--speed is %1 or %2").arg(ModuleSpeedLow).arg(ModuleSpeedHigh);
    inv.speed = value.toInt();
    return {};
}

QString helpOption(Invocation &inv, const QString &) {
    inv.action = Invocation::Action::Help;
    return {};
}

constexpr OptionRule Options[] = {
    {"--help", nullptr, true, false, helpOption},
    {"-h", nullptr, true, false, helpOption},
    {"--version", nullptr, true, false,
     [](Invocation &inv, const QString &) {
         inv.action = Invocation::Action::Version;
         return QString();
     }},
    {"--dry-run", nullptr, false, false,
     [](Invocation &inv, const QString &) {
         inv.dryRun = true;
         return QString();
     }},
    {"--stdin", nullptr, false, false,
     [](Invocation &inv, const QString &) {
         inv.readStdin = true;
         return QString();
     }},
    {"--port", "a port number", false, true, portOption},
    {"--device", "a device path", true, false,
     [](Invocation &inv, const QString &value) {
         if (value.trimmed().isEmpty())
             return QStringLiteral("--device needs a device path");
         inv.devices.append(value);
         return QString();
     }},
    {"--speed", "9600 or 19200", false, false, speedOption},
    {"--settings", "a settings file", true, false,
     [](Invocation &inv, const QString &value) {
         if (value.isEmpty())
             return QStringLiteral("--settings needs a settings file");
         inv.settingsFile = value;
         return QString();
     }},
};

const OptionRule *findOption(const QString &name) {
    for (const OptionRule &rule : Options)
        if (name == QLatin1String(rule.name))
            return &rule;
    return nullptr;
}

class Parser {
public:
    explicit Parser(const QStringList &args) : args_(args) {}

    ParseResult run() {
        while (at_ < args_.size() && args_[at_].startsWith(u'-')) {
            if (args_[at_] == u"--") {
                ++at_;
                break;
            }
            if (!option(false))
                return done();
        }
        if (at_ < args_.size() && args_[at_] == u"probe") {
            inv_.action = Invocation::Action::Probe;
            ++at_;
            while (at_ < args_.size() && error_.isEmpty() &&
                   inv_.action == Invocation::Action::Probe) {
                if (!args_[at_].startsWith(u'-')) {
                    refuse(at_,
                           QStringLiteral("probe takes only --device PATH and --settings FILE"));
                    break;
                }
                option(true);
            }
            if (error_.isEmpty() && inv_.action == Invocation::Action::Probe)
                checkProbeOptions();
            return done();
        }
        if (inv_.readStdin && at_ < args_.size()) {
            refuse(at_, QStringLiteral("--stdin reads the commands from standard input; give "
                                       "none here"));
            return done();
        }
        if (at_ == args_.size() && !inv_.readStdin) {
            error_ = QStringLiteral("no command given");
            return done();
        }
        if (inv_.devices.size() > 1)
            refuse(seen("--device"), QStringLiteral("--device is given more than once"));
        else if (inv_.port && !inv_.devices.isEmpty())
            refuse(seen("--port"),
                   QStringLiteral("--port and --device both name the device; give only one"));
        return commands();
    }

    // The words of one line of standard input: commands only.
    bool lineMode = false;
    ParseResult commands() {
        while (at_ < args_.size() && error_.isEmpty())
            command();
        return done();
    }

private:
    ParseResult done() {
        if (!error_.isEmpty() || inv_.action == Invocation::Action::Help ||
            inv_.action == Invocation::Action::Version)
            return {error_.isEmpty() ? std::optional(inv_) : std::nullopt, error_};
        return {inv_, {}};
    }

    void refuse(qsizetype index, const QString &why) {
        error_ = QStringLiteral("argument %1 (\"%2\"): %3").arg(index + 1).arg(args_[index], why);
    }

    // Where an option was first given.
    qsizetype seen(const char *name) const { return seen_.value(QLatin1String(name)); }

    // One option at at_; false when the parse ends here (an error, --help or --version).
    bool option(bool probing) {
        const qsizetype index = at_++;
        QString name = args_[index];
        std::optional<QString> value;
        if (const qsizetype eq = name.indexOf(u'='); name.startsWith(u"--") && eq > 0) {
            value = name.mid(eq + 1);
            name.truncate(eq);
        }
        const OptionRule *rule = findOption(name);
        if (!rule || (probing && !rule->afterProbe)) {
            refuse(index, probing
                              ? QStringLiteral("probe takes only --device PATH and --settings FILE")
                              : QStringLiteral("unknown option"));
            return false;
        }
        if (rule->once && seen_.contains(name)) {
            refuse(index, QStringLiteral("%1 is given more than once").arg(name));
            return false;
        }
        qsizetype valueAt = index;
        if (!rule->value && value) {
            refuse(index, QStringLiteral("%1 takes no value").arg(name));
            return false;
        }
        if (rule->value && !value) {
            if (at_ == args_.size()) {
                refuse(index, QStringLiteral("%1 needs %2").arg(name, QLatin1String(rule->value)));
                return false;
            }
            valueAt = at_++;
            value = args_[valueAt];
        }
        // A value of its own is named itself: "argument 2 ("0"): --port is ...".
        if (const QString problem = rule->take(inv_, value.value_or(QString()));
            !problem.isEmpty()) {
            refuse(valueAt, problem);
            return false;
        }
        if (!seen_.contains(name))
            seen_.insert(name, index);
        return inv_.action != Invocation::Action::Help &&
               inv_.action != Invocation::Action::Version;
    }

    void checkProbeOptions() {
        if (inv_.port)
            refuse(seen("--port"), QStringLiteral("probe tries the mapped ports itself; name "
                                                  "devices with --device"));
        else if (inv_.speed)
            refuse(seen("--speed"), QStringLiteral("probe tries both speeds itself"));
        else if (inv_.dryRun)
            refuse(seen("--dry-run"),
                   QStringLiteral("probe has no dry run: it only sends the read-inputs query"));
        else if (inv_.readStdin)
            refuse(seen("--stdin"), QStringLiteral("probe reads no standard input"));
    }

    void command() {
        const qsizetype index = at_++;
        const Rule *rule = findRule(args_[index]);
        if (!rule) {
            refuse(index, args_[index] == u"probe" ? QStringLiteral("probe is a call of its own")
                          : args_[index].startsWith(u'-')
                              ? (lineMode ? QStringLiteral("options go on the command line of "
                                                           "torvika-send itself")
                                          : QStringLiteral("options go before the commands"))
                              : QStringLiteral("unknown command"));
            return;
        }
        Args a;
        while (a.size() < rule->minArgs && at_ < args_.size())
            a.append(args_[at_++]);
        if (a.size() < rule->minArgs) {
            refuse(index, QStringLiteral("%1 needs %2")
                              .arg(QLatin1String(rule->name), QLatin1String(rule->usage)));
            return;
        }
        // Optional arguments end at the next command's name.
        while (a.size() < rule->maxArgs && at_ < args_.size() && !findRule(args_[at_]))
            a.append(args_[at_++]);
        const Built built = rule->build(a);
        if (!built.problem.isEmpty()) {
            const qsizetype where = built.badArgument < 0 ? index : index + 1 + built.badArgument;
            refuse(where, QStringLiteral("%1 %2").arg(QLatin1String(rule->name), built.problem));
            return;
        }
        inv_.steps.append(Step{QLatin1String(rule->name), built.writes, rule->readsReply});
    }

    const QStringList &args_;
    qsizetype at_ = 0;
    QHash<QString, qsizetype> seen_;
    Invocation inv_;
    QString error_;
};

} // namespace

ParseResult parseArguments(const QStringList &arguments) {
    return Parser(arguments).run();
}

std::optional<QStringList> splitWords(const QString &line, QString &problem) {
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote; // the quote we are inside, null outside
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quote == u'\'') {
            if (c == u'\'')
                quote = QChar();
            else
                word += c;
        } else if (quote == u'"') {
            if (c == u'"')
                quote = QChar();
            else if (c == u'\\' && i + 1 < line.size() &&
                     QStringView(u"\"\\$`").contains(line[i + 1]))
                word += line[++i];
            else
                word += c;
        } else if (c == u'\'' || c == u'"') {
            quote = c;
            inWord = true;
        } else if (c == u'\\') {
            if (++i < line.size())
                word += line[i];
            inWord = true;
        } else if (c == u' ' || c == u'\t' || c == u'\r') {
            if (inWord)
                words << std::exchange(word, {});
            inWord = false;
        } else if (c == u'#' && !inWord) {
            break; // a comment, as in the shell
        } else {
            word += c;
            inWord = true;
        }
    }
    if (!quote.isNull()) {
        problem = QStringLiteral("the quote %1 is not closed").arg(quote);
        return std::nullopt;
    }
    if (inWord)
        words << word;
    return words;
}

ParseResult parseCommandLine(const QString &line) {
    QString problem;
    const std::optional<QStringList> words = splitWords(line, problem);
    if (!words)
        return {std::nullopt, problem};
    Parser parser(*words);
    parser.lineMode = true;
    return parser.commands();
}

QByteArray bytesOf(const QList<Step> &steps) {
    QByteArray bytes;
    for (const Step &step : steps)
        for (const QByteArray &write : step.writes)
            bytes += write;
    return bytes;
}

QStringList frameLines(const QList<Step> &steps) {
    FrameDecoder decoder;
    QList<DecodedFrame> frames = decoder.feed(bytesOf(steps));
    if (const auto rest = decoder.flush())
        frames << *rest;
    QStringList lines;
    for (const DecodedFrame &frame : joinTextRuns(frames))
        lines << frame.describe();
    return lines;
}

QString inputsLine(std::uint8_t reply) {
    return inputLevels(reply, u"=", u" ");
}

QString usageText() {
    QString text = QStringLiteral(
        "Usage: torvika-send [--port N | --device PATH] [--speed 9600|19200] [--settings FILE]\n"
        "                    [--dry-run] [--] COMMAND [ARGS]...\n"
        "       torvika-send [OPTIONS] --stdin\n"
        "       torvika-send probe [--device PATH]... [--settings FILE]\n"
        "\n"
        "Sends commands to a TORVIKA display, each with the bytes the panel sends for it, in\n"
        "order. Every argument is checked first: a bad one sends nothing (exit status 2).\n"
        "\n"
        "Options:\n"
        "  --port N          port 1..20 as the panel's settings file maps it\n"
        "                    (default: the file's CommPort)\n"
        "  --device PATH     the serial device itself\n"
        "  --speed SPEED     line speed 9600 or 19200 (default: the file's Setting)\n"
        "  --settings FILE   another settings file than the panel's\n"
        "  --dry-run         open nothing; print each frame in hex with its meaning\n"
        "  --stdin           keep the port open and send each line of standard input as a\n"
        "                    command line (words quoted as in the shell) as it is read\n"
        "  --                the options end here\n"
        "  --help, --version\n"
        "\n"
        "Commands:\n");
    for (const Rule &rule : Rules) {
        const QString head = QStringLiteral("%1 %2")
                                 .arg(QLatin1String(rule.name), QLatin1String(rule.usage))
                                 .trimmed();
        const QString gap = head.size() < 34 ? QString(34 - head.size(), u' ')
                                             : QStringLiteral("\n") + QString(36, u' ');
        text += QStringLiteral("  ") + head + gap + QLatin1String(rule.what) + u'\n';
    }
    text += QStringLiteral(
        "  probe                             find the module: ask every serial device at 9600\n"
        "                                    and 19200 bit/s for its inputs\n"
        "\n"
        "Exit status: 0 done, 1 the device or the output cannot be used, 2 bad arguments, 3 no\n"
        "answer, 128 + N ended by signal N.\n");
    return text;
}

} // namespace torvika::sendcli
