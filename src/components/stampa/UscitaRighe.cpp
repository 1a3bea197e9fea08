#include "components/stampa/UscitaRighe.h"

#include "components/core/ErroreRun.h"
#include "components/stampa/FoglioXlsx.h"
#include "components/util/Percorsi.h"

#include "components/stampanti/ServizioStampanti.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUuid>

namespace {

const QString MarcatoreColonna = QStringLiteral("§ç^&£");

// Windows-1252 bytes 0x80-0x9F.
constexpr char16_t Alti1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                   0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

QByteArray UscitaRighe::In1252(const QString& s) {
    QByteArray b;
    b.reserve(s.size());
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
            b += static_cast<char>(u);
            continue;
        }
        int i = 0;
        while (i < 32 && Alti1252[i] != u) ++i;
        b += i < 32 ? static_cast<char>(0x80 + i) : '?';
    }
    return b;
}

QString UscitaRighe::Allinea(const QString& testo, int larghezza, const QString& allineamento) {
    if (larghezza <= 0) return testo;
    QString t = testo.left(larghezza);
    const int spazio = larghezza - t.size();
    if (allineamento == QLatin1String("D")) return QString(spazio, QLatin1Char(' ')) + t;
    if (allineamento == QLatin1String("C")) {
        const int prima = spazio / 2;
        return QString(prima, QLatin1Char(' ')) + t + QString(spazio - prima, QLatin1Char(' '));
    }
    return t + QString(spazio, QLatin1Char(' '));
}

QString UscitaRighe::SenzaMarcatore(const QString& testo) { return QString(testo).remove(MarcatoreColonna); }

UscitaRighe::UscitaRighe() = default;
UscitaRighe::~UscitaRighe() = default;

std::unique_ptr<UscitaRighe> UscitaRighe::Apri(const OpzSta& opz, bool fisso) {
    auto u = std::make_unique<UscitaRighe>();
    u->fisso_ = fisso;
    u->opz_ = opz;
    QString nome = PercorsoLocale((fisso ? opz.FisFileName : opz.FileName).trimmed());
    if (!nome.isEmpty() && QFileInfo(nome).isRelative() && !opz.PathDefault.trimmed().isEmpty())
        nome = QDir(PercorsoLocale(opz.PathDefault.trimmed())).filePath(nome);
    if (fisso && opz.FisStampante && !opz.FisFileName.trimmed().isEmpty()) {
        // The lines go to a file of our own first; the queue gets them whole at the end.
        u->coda_ = CodaStampaFissa(opz.FisFileName.trimmed());
        nome = QDir(QDir::tempPath()).filePath(QStringLiteral("comiva_fissa_") +
                                               QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral(".txt"));
    }
    u->file_.setFileName(nome);
    if (!fisso && opz.FileForm == OpzSta::FormatoExcel && !nome.isEmpty()) {
        u->foglio_ = std::make_unique<FoglioXlsx>(nome, opz.NumNoForm);
        return u;
    }
    if (nome.isEmpty() || !u->file_.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ErroreRun(75, QStringLiteral("Impossibile scrivere il file di stampa \"%1\"").arg(nome),
                        QStringLiteral("Stampa"));
    if (fisso && opz.FisUtilComp) u->scrivi(opz.FisCodIniComp);
    u->iniziaPagina();
    return u;
}

void UscitaRighe::Campo(const QString& testo, int car0, int car, const QString& allineamento, bool colonna) {
    rigaAperta_ = true;
    if (!fisso_) {
        if (opz_.FileForm == OpzSta::FormatoExcel && testo.contains(MarcatoreColonna))
            campi_ << testo.split(MarcatoreColonna);
        else
            campi_ << SenzaMarcatore(testo);
        return;
    }
    const QString campo = Allinea(testo, car, allineamento);
    if (colonna) {
        if (riga_.size() < car0) riga_ += QString(car0 - riga_.size(), QLatin1Char(' '));
        riga_ = riga_.left(car0) + campo + riga_.mid(car0 + campo.size());
    } else {
        riga_ += campo + QLatin1Char(' ');
    }
}

void UscitaRighe::Riempi(int conta, QChar c) {
    riga_ += QString(conta, c);
    rigaAperta_ = true;
}

void UscitaRighe::scrivi(const QString& testo) {
    const QByteArray b = In1252(testo);
    if (file_.write(b) != b.size())
        throw ErroreRun(61, QStringLiteral("Errore di scrittura nel file \"%1\"").arg(file_.fileName()),
                        QStringLiteral("Stampa"));
}

QString UscitaRighe::qualifica(QString campo) const {
    if (opz_.FileForm == OpzSta::Testo || opz_.DelimStr.isEmpty()) return campo;
    const QString q = opz_.DelimStr;
    // Only a field that holds the separator, the qualifier or a line break needs it.
    if (!campo.contains(opz_.SepCampi.left(1)) && !campo.contains(q) && !campo.contains(QLatin1Char('\n')))
        return campo;
    return q + campo.replace(q, q + q) + q;
}

void UscitaRighe::FineRiga() {
    if (fisso_) {
        QString r = riga_;
        while (r.endsWith(QLatin1Char(' '))) r.chop(1);
        scrivi(r + QStringLiteral("\r\n"));
        riga_.clear();
        ++righePagina_;
    } else if (foglio_) {
        foglio_->Riga(campi_);
        campi_.clear();
    } else {
        QStringList q;
        for (const QString& c : std::as_const(campi_)) q << qualifica(c);
        scrivi(q.join(opz_.SepCampi.isEmpty() ? QStringLiteral(";") : opz_.SepCampi.left(1)) + QStringLiteral("\r\n"));
        campi_.clear();
    }
    rigaAperta_ = false;
}

void UscitaRighe::NuovaPagina() {
    if (rigaAperta_) FineRiga();
    iniziaPagina();
}

void UscitaRighe::iniziaPagina() {
    if (!fisso_) return;
    if (pagine_ > 0) scrivi(QStringLiteral("\f"));
    ++pagine_;
    righePagina_ = 0;
    for (int i = 0; i < opz_.FisMrAlt; ++i) {
        scrivi(QStringLiteral("\r\n"));
        ++righePagina_;
    }
}

void UscitaRighe::Chiudi(bool completa) {
    if (foglio_) {
        if (completa && rigaAperta_) FineRiga();
        auto foglio = std::move(foglio_);
        foglio->Chiudi();
        return;
    }
    if (!file_.isOpen()) return;
    if (completa) {
        if (rigaAperta_) FineRiga();
        if (fisso_ && opz_.FisUtilComp) scrivi(opz_.FisCodFinComp);
    }
    file_.close();
    if (coda_.isEmpty()) return;
    const QString file = file_.fileName();
    struct Rimuovi {
        QString f;
        ~Rimuovi() { QFile::remove(f); }
    } rimuovi{file};
    if (!completa) return;  // a print that did not end sends nothing
    QProcess lp;
    lp.start(QStringLiteral("lp"), {QStringLiteral("-d"), coda_, QStringLiteral("-o"), QStringLiteral("raw"), file});
    if (!lp.waitForStarted(30000))
        throw ErroreRun(75, QStringLiteral("Invio alla stampante \"%1\" non riuscito: il comando lp di CUPS non è disponibile").arg(coda_),
                        QStringLiteral("Stampa"));
    const bool finito = lp.waitForFinished(120000);
    if (!finito) {
        lp.kill();
        lp.waitForFinished(5000);
    }
    if (!finito || lp.exitStatus() != QProcess::NormalExit || lp.exitCode() != 0)
        throw ErroreRun(75, QStringLiteral("Invio alla stampante \"%1\" non riuscito: %2")
                                .arg(coda_, QString::fromLocal8Bit(lp.readAllStandardError()).trimmed()),
                        QStringLiteral("Stampa"));
}

QString CodaStampaFissa(const QString& destinazione) {
    for (const auto& s : ggStampanti().Installate())
        if (s.nome.compare(destinazione, Qt::CaseInsensitive) == 0 || s.porta.compare(destinazione, Qt::CaseInsensitive) == 0)
            return s.nome;
    return destinazione;
}
