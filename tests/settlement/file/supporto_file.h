#pragma once
// Communications of the settlement tables for the file tests, and the check of
// a written XML file against the tax authority's schema.
#include "settlement/file/FileLiqIva.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "support/Fixture.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QString>

namespace filetest {

using Colonne = QMap<QString, Valore>;

inline Colonne unisci(Colonne base, const Colonne& modifiche) {
    for (auto it = modifiche.begin(); it != modifiche.end(); ++it) base[it.key()] = it.value();
    return base;
}

inline std::vector<std::pair<QString, Valore>> coppie(const Colonne& c) {
    std::vector<std::pair<QString, Valore>> v;
    for (auto it = c.begin(); it != c.end(); ++it) v.emplace_back(it.key(), it.value());
    return v;
}

// A signed communication of a company without intermediary.
inline Colonne testataBase(int anno, int numCom = 1) {
    return {{"Anno", anno},
            {"NumCom", numCom},
            {"CodiceFiscale", "RSSMRA80A01H501U"},
            {"PartitaIva", "01234567897"},
            {"PartitaIvaControllante", ""},
            {"UltimoMese", 0},
            {"LiquidazioneGruppo", "N"},
            {"CFDichiarante", ""},
            {"CodiceCaricaDichiarante", ""},
            {"CodiceFiscaleSocieta", ""},
            {"FirmaDichiarazione", "S"},
            {"CFIntermediario", ""},
            {"ImpegnoPresentazione", ""},
            {"DataImpegno", Valore::null()},
            {"FirmaIntermediario", "N"},
            {"FlagConferma", Valore::null()}};
}

// A quarterly module with every figure zero.
inline Colonne moduloBase(int anno, int modulo, int numCom = 1) {
    Colonne m = {{"Anno", anno}, {"NumCom", numCom}, {"Modulo", modulo}, {"Mese", Valore::null()},
                 {"Trimestre", numCom}, {"Subfornitura", "N"}, {"EventiEccezionali", ""},
                 {"OpStraordinarie", "N"}, {"MetodoAcconto", Valore::null()}};
    for (const char* c : {"TotaleOperazioniAttive", "TotaleOperazioniPassive", "IvaEsigibile", "IvaDetratta",
                          "IvaDovuta", "IvaCredito", "DebitoPrecedente", "CreditoPeriodoPrecedente",
                          "CreditoAnnoPrecedente", "VersamentiAutoUe", "CreditiImposta", "InteressiDovuti",
                          "Acconto", "ImportoDaVersare", "ImportoACredito"})
        m[QString::fromLatin1(c)] = 0.0;
    return m;
}

inline void inserisciComunicazione(FixtureDb& db, const Colonne& testata, const QList<Colonne>& moduli) {
    db.Inserisci(db.idAzienda, QStringLiteral("LiqIvaTest"), coppie(testata));
    for (const Colonne& m : moduli) db.Inserisci(db.idAzienda, QStringLiteral("LiqIvaDett"), coppie(m));
}

inline QByteArray leggiFile(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// "" when xmllint finds the file valid against the schema of its year;
// otherwise what xmllint said. With anno 0 only well-formedness is checked.
inline QString esitoXmllint(const QString& file, int anno) {
    QStringList argomenti{QStringLiteral("--nonet"), QStringLiteral("--noout")};
    if (anno > 0)
        argomenti << QStringLiteral("--schema")
                  << CartellaXsd() + (anno < 2018 ? QStringLiteral("/ivp17/fornituraIvp_2017_v1.xsd")
                                                                   : QStringLiteral("/ivp18/fornituraIvp_2018_v1.xsd"));
    argomenti << file;
    QProcess p;
    p.start(QStringLiteral("xmllint"), argomenti);
    if (!p.waitForFinished(120000)) return QStringLiteral("xmllint non terminato");
    if (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) return {};
    const QString errori = QString::fromLocal8Bit(p.readAllStandardError());
    return errori.isEmpty() ? QStringLiteral("xmllint: uscita %1").arg(p.exitCode()) : errori;
}

}  // namespace filetest

// The whole file of one communication in one call, in the writer's order
// without the printing, and what it reported.
struct EsitoFileLiqIva {
    bool trovato = false;         // the communication has at least one module
    QString rifiuto;              // message of ControllaModuli: nothing was written
    QString campiMancanti;        // the two lists, as FileLiqIva collects them
    QString segnalazioni;
    int errori = 0;               // FileLiqIva::Errori
    int moduli = 0;
};

// No rows: no file. A refused communication: no file and the message in
// `rifiuto`. Database and file failures raise ErroreRun.
inline EsitoFileLiqIva ScriviFileLiqIva(GestoreDb& gestDb, const QString& idDb, int anno, int numCom, bool xml,
                                        const QString& percorso) {
    EsitoFileLiqIva esito;
    GestRecordset rs;
    const QString chiave = rs.ApriRecordset(gestDb, idDb, QString(), FileLiqIva::PrepSql(anno, numCom));
    struct Chiusura {
        GestRecordset& rs;
        const QString& chiave;
        ~Chiusura() { rs.ChiudiRecordset(chiave); }
    } chiusura{rs, chiave};

    if (rs.RecVuoto(chiave)) return esito;
    esito.trovato = true;
    esito.rifiuto = FileLiqIva::ControllaModuli(rs, chiave);
    if (!esito.rifiuto.isEmpty()) return esito;

    FileLiqIva file(xml);
    file.ApriFile(percorso);
    const LettoreRiga riga = RigaDaRecordset(rs, chiave);
    if (xml) file.ScriviTestata(riga);
    for (rs.PrimoRec(chiave); !rs.FineRec(chiave); rs.RecSuccessivo(chiave)) {
        file.ScriviRecDett(riga);
        ++esito.moduli;
    }
    if (xml) file.ScriRecCoda();
    file.Consegna();
    esito.campiMancanti = file.CampiMancanti();
    esito.segnalazioni = file.Segnalazioni();
    esito.errori = file.Errori();
    return esito;
}
