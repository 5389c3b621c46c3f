#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace torvika::test {

// The virtual module started headless on a link in `folder`, its JSON lines read as they come.
// `program`: the module's executable.
class VirtualModule {
public:
    VirtualModule(const QString &program, const QString &folder);
    ~VirtualModule();

    QString link() const { return link_; }
    bool ready() const { return ready_; }
    const QJsonObject &state() const { return state_; }
    QString row(int r) const;
    QStringList frames() const { return frames_; } // hex of every decoded frame
    QStringList ignored() const { return ignored_; }
    void send(const QByteArray &line) { process_.write(line + '\n'); }

private:
    void readLines();

    QString link_;
    QProcess process_;
    QByteArray buffer_;
    bool ready_ = false;
    QJsonObject state_;
    QStringList frames_, ignored_;
};

} // namespace torvika::test
