#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace torvika::vmodule {

// The module's end of the line: a pseudo-terminal whose device the panel opens through a
// symbolic link at a stable path. The link holds a descriptor of the device itself, so the
// panel may close and reopen the port without the line going down.
class PtyLink : public QObject {
    Q_OBJECT
public:
    explicit PtyLink(QString linkPath, QObject *parent = nullptr);
    ~PtyLink() override;

    // Opens the pty and puts the link in place; an existing link is replaced, anything else
    // at that path is left alone and refused. "" on success, else why not.
    QString open();
    QString linkPath() const { return linkPath_; }
    QString devicePath() const { return devicePath_; }

    // The line speed the panel last set on the device (bit/s), 0 when unknown.
    int lineSpeed() const;
    bool write(const QByteArray &bytes);
    // Removes the link (when it still points to our device).
    void removeLink();

signals:
    void received(const QByteArray &bytes);

private:
    void readMaster();

    QString linkPath_, devicePath_;
    int master_ = -1, slave_ = -1;
    QSocketNotifier *notifier_ = nullptr;
};

} // namespace torvika::vmodule
