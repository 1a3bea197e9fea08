#pragma once
// The messages of one logging category while an object of this class lives:
// what the program writes to the log and never shows (the database engine's
// own words) is checked here. One at a time; the earlier handler comes back.
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <cstring>

class RegistroLog {
public:
    explicit RegistroLog(const char* categoria) : categoria_(categoria) {
        attivo_ = this;
        precedente_ = qInstallMessageHandler(&Raccogli);
    }
    ~RegistroLog() {
        qInstallMessageHandler(precedente_);
        attivo_ = nullptr;
    }
    RegistroLog(const RegistroLog&) = delete;
    RegistroLog& operator=(const RegistroLog&) = delete;

    QString Testo() const { return righe_.join(QLatin1Char('\n')); }

private:
    static void Raccogli(QtMsgType tipo, const QMessageLogContext& contesto, const QString& testo) {
        if (attivo_ && contesto.category && std::strcmp(contesto.category, attivo_->categoria_) == 0)
            attivo_->righe_ << testo;
        if (attivo_ && attivo_->precedente_) attivo_->precedente_(tipo, contesto, testo);
    }

    const char* categoria_;
    QStringList righe_;
    QtMessageHandler precedente_ = nullptr;
    static inline RegistroLog* attivo_ = nullptr;
};
