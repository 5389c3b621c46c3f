#include "virtualmodule.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace torvika::test {

VirtualModule::VirtualModule(const QString &program, const QString &folder)
    : link_(folder + QStringLiteral("/module")) {
    QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { readLines(); });
    process_.start(program,
                   {QStringLiteral("--headless"), QStringLiteral("--link"), link_,
                    QStringLiteral("--state-file"), folder + QStringLiteral("/state.json")});
}

VirtualModule::~VirtualModule() {
    process_.closeWriteChannel(); // end of input ends the module
    if (!process_.waitForFinished(3000))
        process_.kill();
}

QString VirtualModule::row(int r) const {
    return state_.value(QStringLiteral("rows")).toArray().at(r).toString();
}

void VirtualModule::readLines() {
    buffer_ += process_.readAllStandardOutput();
    qsizetype end;
    while ((end = buffer_.indexOf('\n')) >= 0) {
        const QJsonObject event = QJsonDocument::fromJson(buffer_.first(end)).object();
        buffer_.remove(0, end + 1);
        const QString kind = event.value(QStringLiteral("event")).toString();
        if (kind == u"ready")
            ready_ = true;
        else if (kind == u"state")
            state_ = event;
        else if (kind == u"ignored")
            ignored_ << event.value(QStringLiteral("reason")).toString();
        else if (kind == u"frame")
            frames_ << event.value(QStringLiteral("bytes")).toString();
    }
}

} // namespace torvika::test
