#include "session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

namespace torvika::vmodule {

namespace {

// A state file is a few hundred bytes.
constexpr qint64 MaxStateFile = 1024 * 1024;

Memory loadMemory(const QString &path, QString &problem) {
    QFile file(path);
    if (!file.exists())
        return {};
    if (QFileInfo(path).size() > MaxStateFile || !file.open(QIODevice::ReadOnly)) {
        problem = QStringLiteral("cannot read %1; starting from the defaults").arg(path);
        return {};
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (!doc.isObject()) {
        problem = QStringLiteral("%1 is not a state file (%2); starting from the defaults")
                      .arg(path, error.errorString());
        return {};
    }
    return Memory::fromJson(doc.object());
}

QString speedText(const QList<int> &speeds) {
    const int speed = speeds.last();
    return speed > 0 ? QStringLiteral("%1 bit/s").arg(speed)
                     : QStringLiteral("a speed the module never runs at");
}

} // namespace

QString defaultStateFile() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/torvika/module.json");
}

Session::Session(PtyLink &link, QString stateFile, QObject *parent)
    : QObject(parent), link_(link), stateFile_(std::move(stateFile)),
      model_(loadMemory(stateFile_, memoryProblem_)) {
    connect(&link_, &PtyLink::received, this, &Session::onReceived);
}

void Session::setInputs(std::uint8_t inputs) {
    if ((inputs & 7) == model_.inputs())
        return;
    model_.setInputs(inputs);
    emit stateChanged();
}

bool Session::speedMismatch() const {
    const int line = link_.lineSpeed();
    return line != 0 && line != model_.speed();
}

void Session::onReceived(const QByteArray &bytes, const QList<int> &lineSpeeds) {
    // Bytes are judged at the speed the line had when they were written, not when read; when
    // that cannot be known they are taken.
    const auto mismatch = [&] {
        return !lineSpeeds.isEmpty() && !lineSpeeds.contains(model_.speed());
    };
    if (mismatch()) {
        emit ignored(bytes, QStringLiteral("the line runs at %1, the module at %2")
                                .arg(speedText(lineSpeeds))
                                .arg(model_.speed()));
        return;
    }
    const QJsonObject before = model_.toJson();
    const QList<DecodedFrame> frames = decoder_.feed(bytes);
    for (qsizetype i = 0; i < frames.size(); ++i) {
        const DisplayModel::Outcome outcome = model_.apply(frames[i]);
        emit frameDecoded(frames[i], outcome.problem);
        if (outcome.reply) {
            const QByteArray reply(1, static_cast<char>(*outcome.reply));
            link_.write(reply);
            emit replied(reply);
        }
        if (outcome.memoryChanged)
            storeMemory();
        if (mismatch()) {
            // The module switched speed: what follows arrives as garbage.
            QByteArray rest;
            for (qsizetype j = i + 1; j < frames.size(); ++j)
                rest += frames[j].bytes;
            rest += decoder_.pending();
            decoder_.flush();
            if (!rest.isEmpty())
                emit ignored(rest, QStringLiteral("the module now runs at %1 bit/s, the line "
                                                  "at %2")
                                       .arg(model_.speed())
                                       .arg(speedText(lineSpeeds)));
            break;
        }
    }
    if (model_.toJson() != before)
        emit stateChanged();
}

void Session::storeMemory() {
    QDir().mkpath(QFileInfo(stateFile_).absolutePath());
    QSaveFile file(stateFile_);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(model_.memory().toJson()).toJson()) < 0 || !file.commit())
        memoryProblem_ = QStringLiteral("cannot write %1: %2").arg(stateFile_, file.errorString());
    else
        memoryProblem_.clear();
}

} // namespace torvika::vmodule
