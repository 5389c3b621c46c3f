#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

namespace torvika::test {

// The virtual module (`program`) started headless on a link in `folder`, its JSON lines read as
// they come: the latest state, every decoded frame (hex), every reason it ignored bytes.
class VirtualModule {
public:
    VirtualModule(const QString &program, const QString &folder)
        : link_(folder + QStringLiteral("/module")) {
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { readLines(); });
        process_.start(program,
                       {QStringLiteral("--headless"), QStringLiteral("--link"), link_,
                        QStringLiteral("--state-file"), folder + QStringLiteral("/state.json")});
    }
    ~VirtualModule() {
        process_.closeWriteChannel(); // end of input ends the module
        if (!process_.waitForFinished(3000))
            process_.kill();
    }

    QString link() const { return link_; }
    bool ready() const { return ready_; }
    const QJsonObject &state() const { return state_; }
    QString row(int r) const {
        return state_.value(QStringLiteral("rows")).toArray().at(r).toString();
    }
    QStringList frames() const { return frames_; }
    QStringList ignored() const { return ignored_; }
    void send(const QByteArray &line) { process_.write(line + '\n'); }

private:
    void readLines() {
        buffer_ += process_.readAllStandardOutput();
        for (qsizetype end; (end = buffer_.indexOf('\n')) >= 0; buffer_.remove(0, end + 1)) {
            const QJsonObject event = QJsonDocument::fromJson(buffer_.first(end)).object();
            const QString kind = event.value(QStringLiteral("event")).toString();
            ready_ = ready_ || kind == u"ready";
            if (kind == u"state")
                state_ = event;
            else if (kind == u"ignored")
                ignored_ << event.value(QStringLiteral("reason")).toString();
            else if (kind == u"frame")
                frames_ << event.value(QStringLiteral("bytes")).toString();
        }
    }

    QString link_;
    QProcess process_;
    QByteArray buffer_;
    bool ready_ = false;
    QJsonObject state_;
    QStringList frames_, ignored_;
};

} // namespace torvika::test
