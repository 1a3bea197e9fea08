#include "invoicedata/file/FileDatiFat.h"

#include "components/core/ErroreRun.h"
#include "components/util/Percorsi.h"
#include "components/xml/SchemaXsd.h"

#include <QRegularExpression>
#include <cstdio>

namespace {

constexpr long kErroreIo = 57;
constexpr long kErroreAccessoFile = 75;
const QString kOrigine = QStringLiteral("ApriXmlDatiFat");

// Only Basic Latin goes into the header: anything else becomes "_".
QString soloAscii(const QString& s) {
    QString r;
    r.reserve(s.size());
    for (const QChar c : s) r += (c.unicode() >= 32 && c.unicode() < 127) ? c : QLatin1Char('_');
    return r;
}

}  // namespace

QString CifraBase36(int n) {
    if (n > 9) return QString(QChar(static_cast<char16_t>(u'A' + n - 10)));
    return QString::number(n);
}

QString ProgressivoDatiFat(const ArgomentiXmlDatiFat& a) {
    const QString anno = QString::number(a.annoCom);
    if (!a.molteFile) return anno.right(2) + CifraBase36(a.numComun) + a.codInvio;
    return anno.right(1) + CifraBase36(a.numComun) + a.codInvio + QChar(static_cast<char16_t>(u'A' + a.contaFile));
}

QString PrefissoDatiFat(const QString& codFisc) { return QStringLiteral("IT") + codFisc + QStringLiteral("_DF_"); }

QString NomeSoloDatiFat(const ArgomentiXmlDatiFat& a) { return PrefissoDatiFat(a.codFisc) + ProgressivoDatiFat(a); }

QString NomeDatiFat(const ArgomentiXmlDatiFat& a) {
    return NomeDatiFat(a.cartella, a.codFisc, ProgressivoDatiFat(a), a.prova);
}

QString NomeDatiFat(const QString& cartella, const QString& codFisc, const QString& progressivo, bool prova) {
    if (cartella.trimmed().isEmpty())
        throw ErroreRun(kErroreAccessoFile,
                        QStringLiteral("Cartella dei file dati fatture non indicata: il file non viene scritto."),
                        kOrigine);
    const bool conSeparatore = cartella.endsWith(QLatin1Char('\\')) || cartella.endsWith(QLatin1Char('/'));
    return cartella + (conSeparatore ? QString() : QStringLiteral("\\")) + PrefissoDatiFat(codFisc) + progressivo +
           (prova ? QStringLiteral("_Prova") : QString()) + QStringLiteral(".xml");
}

bool CodiceFiscaleValido(const QString& codice) {
    static const QRegularExpression re(QStringLiteral("^[A-Z0-9]{11,16}$"));
    return re.match(codice).hasMatch();
}

QString CaricaValida(const QString& carica) {
    static const QRegularExpression re(QStringLiteral("^[0-9]{1,2}$"));
    const QString c = carica.trimmed();
    if (!re.match(c).hasMatch()) return {};
    const int n = c.toInt();
    return (n >= 1 && n <= 15) ? QString::number(n) : QString();
}

void FileXmlDatiFat::Chiudi() {
    if (!file) return;
    const bool ok = file->flush();
    const QString errore = file->errorString();
    file->close();
    const bool chiuso = ok && file->error() == QFileDevice::NoError;
    file.reset();
    if (!chiuso)
        throw ErroreRun(kErroreIo, QStringLiteral("Errore durante la chiusura del file %1: %2").arg(provvisorio, errore),
                        kOrigine);
}

QString FileXmlDatiFat::Registrazione(int riga) const {
    QString r;
    for (const auto& [prima, reg] : documenti) {
        if (prima >= riga) break;
        r = reg;
    }
    return r;
}

QString ControllaSchemiDatiFat(const FileXmlDatiFat& f) {
    for (const auto schema : {comiva::SchemaTrasmissione::DatiFattura20, comiva::SchemaTrasmissione::DatiFattura21}) {
        const comiva::EsitoSchema esito = comiva::ValidaSchema(f.provvisorio, schema);
        if (esito.valido) continue;
        QString testo = QStringLiteral("Il file ") + f.percorso + QStringLiteral(" non rispetta lo schema ") +
                        comiva::NomeSchema(schema) + QStringLiteral(": ") + esito.descrizione();
        const QString reg = f.Registrazione(esito.riga);
        if (!reg.isEmpty()) testo += QStringLiteral(", registrazione ") + reg;
        return testo;
    }
    return {};
}

void FileXmlDatiFat::Completa() {
    Chiudi();
    // rename() replaces an earlier file of the final name in one step.
    if (std::rename(QFile::encodeName(provvisorio).constData(), QFile::encodeName(percorso).constData()) != 0)
        throw ErroreRun(kErroreAccessoFile,
                        QStringLiteral("Impossibile dare al file il nome %1: resta come %2").arg(percorso, provvisorio),
                        kOrigine);
}

void ApriXmlDatiFat(const ArgomentiXmlDatiFat& a, FileXmlDatiFat& uscita, ScritturaXml& scrittura) {
    if (a.molteFile && (a.contaFile < 0 || a.contaFile >= kMaxFileDivisi))
        throw ErroreRun(kErroreAccessoFile,
                        QStringLiteral("Superato il numero massimo di %1 file per invio (da A a Z).").arg(kMaxFileDivisi),
                        kOrigine);
    uscita.progressivo = ProgressivoDatiFat(a);
    uscita.percorso = PercorsoLocale(NomeDatiFat(a));
    uscita.provvisorio = uscita.percorso + kSuffissoIncompleto;
    uscita.file = std::make_unique<QFile>(uscita.provvisorio);
    if (!uscita.file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        const QString errore = uscita.file->errorString();
        uscita.file.reset();
        throw ErroreRun(kErroreAccessoFile,
                        QStringLiteral("Impossibile creare il file %1: %2").arg(uscita.percorso, errore), kOrigine);
    }
    scrittura.ApriSu(uscita.file.get());
    scrittura.ScriviRigaGrezza("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    scrittura.ScriviRigaGrezza("<ns2:DatiFattura versione=\"DAT20\" xmlns:ns2=\"" + kNamespaceDatiFat.toLatin1() +
                               "\">");
    scrittura.ScriviRigaGrezza("<DatiFatturaHeader>");
    scrittura.ScriviRigaGrezza("\t<ProgressivoInvio>" + soloAscii(uscita.progressivo).toLatin1() +
                               "</ProgressivoInvio>");
    const QString cfDich = a.cfDich.trimmed().toUpper();
    if (!cfDich.isEmpty()) {
        const QString carica = CaricaValida(a.carica);
        if (CodiceFiscaleValido(cfDich) && !carica.isEmpty()) {
            scrittura.ScriviRigaGrezza("\t<Dichiarante>");
            scrittura.ScriviRigaGrezza("\t\t<CodiceFiscale>" + cfDich.toLatin1() + "</CodiceFiscale>");
            scrittura.ScriviRigaGrezza("\t\t<Carica>" + carica.toLatin1() + "</Carica>");
            scrittura.ScriviRigaGrezza("\t</Dichiarante>");
        } else {
            scrittura.Segnala(QStringLiteral("Dichiarante non valido"));
        }
    }
    scrittura.ScriviRigaGrezza("</DatiFatturaHeader>");
}
