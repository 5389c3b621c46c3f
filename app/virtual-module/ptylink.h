#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <thread>

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

    // The line speed the panel last set on the device (bit/s): 0 while no sender set one, -1
    // for a speed the module never runs at.
    int lineSpeed() const;
    bool write(const QByteArray &bytes);
    // Removes the link (when it still points to our device).
    void removeLink();

signals:
    // `lineSpeeds`: the speeds (as lineSpeed() tells them) the bytes may have been written at,
    // the latest last; empty when that cannot be known.
    void received(const QByteArray &bytes, const QList<int> &lineSpeeds);

private:
    void readMaster();

    QString linkPath_, devicePath_;
    int master_ = -1, slave_ = -1;
    int wake_[2] = {-1, -1}; // ends the reading thread
    std::thread reader_;
};

} // namespace torvika::vmodule
