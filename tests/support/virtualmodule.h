#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

namespace torvika::test {

// The virtual module (`program`) run headless on a link in `folder`. Its standard output is a
// JSON object a line: events such as "ready", "state", "frame" (with the frame's hex bytes).
struct VirtualModule {
    QString link;
    QProcess process;
    QByteArray out; // what it printed so far, as far as read() took it

    VirtualModule(const QString &program, const QString &folder) : link(folder + "/module") {
        process.start(program,
                      {"--headless", "--link", link, "--state-file", folder + "/state.json"});
    }
    ~VirtualModule() {
        process.closeWriteChannel(); // end of input ends the module
        if (!process.waitForFinished(3000))
            process.kill();
    }
    const QByteArray &read() { return out += process.readAllStandardOutput(); }
    // The newest "state" event so far.
    QJsonObject state() {
        QJsonObject newest;
        for (const QByteArray &line : read().split('\n'))
            if (const QJsonObject event = QJsonDocument::fromJson(line).object();
                event.value("event").toString() == u"state")
                newest = event;
        return newest;
    }
    QStringList frames() {
        QStringList frames;
        for (const QByteArray &line : read().split('\n'))
            if (const QJsonObject event = QJsonDocument::fromJson(line).object();
                event.value("event").toString() == u"frame")
                frames << event.value("bytes").toString();
        return frames;
    }
};

} // namespace torvika::test
