#pragma once
// A company database with the invoice-data tables, rows of a communication
// built from a few fields, the writer set for a run, and the check of a
// written file against both published invoice-data schemas.
#include "invoicedata/file/StDatiFat.h"

#include "components/db/GestoreDb.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"
#include "support/Fixture.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <sqlite3.h>
#include <gtest/gtest.h>

namespace datifat {

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

inline void CreaTabelle(FixtureDb& db) {
    db.Esegui(db.idAzienda, QStringLiteral(
        "INSERT OR IGNORE INTO Stati (Stato, Descrizione, Iso, Cee) VALUES "
        "('ITA','Italia','IT','S'),('DEU','Germania','DE','S'),('GBR','Regno Unito','GB','N'),"
        "('USA','Stati Uniti','US','N'),('XXX','Codice errato','XYZ','N')"));
}

// An Italian legal person with a VAT number.
inline Colonne conto(const QString& c, const QString& descrizione = QStringLiteral("ROSSI SRL")) {
    return {{"Gruppo", "04"}, {"Mastro", "10"}, {"Conto", c}, {"Descrizione", descrizione},
            {"RagSoc", descrizione}, {"StatoGiurid", "G"}, {"PartIva", "01234567897"}, {"CodFisc", ""},
            {"Indirizzo", "Via Roma 1"}, {"CAP", "20100"}, {"Comune", "Milano"}, {"Pr", "MI"}, {"Stato", "ITA"}};
}

// A registration of 2017, communication 2, with its account.
inline Colonne testata(const QString& tipo, int numReg, const QString& c, const Colonne& modifiche = {}) {
    return unisci({{"AnnoCom", 2017}, {"NumCom", 2}, {"AnnoReg", 2017}, {"NumReg", numReg}, {"NumCanc", 0},
                   {"Tipo", tipo}, {"Stato", "N"}, {"NumInv", 0}, {"Progr", 0}, {"GruppoPartita", "04"},
                   {"MastroPartita", "10"}, {"ContoPartita", c}, {"TipoDocumento", "TD01"},
                   {"DataDoc", QDate(2017, 3, 5)}, {"NumDoc", QStringLiteral("%1/A").arg(numReg)},
                   {"DataReg", QDate(2017, 3, 6)}, {"NomeFile", Valore::null()}, {"BollaDoganale", "N"}},
                  modifiche);
}

inline Colonne riga(const QString& tipo, int numReg, int numDet, const Colonne& modifiche = {}) {
    return unisci({{"AnnoCom", 2017}, {"NumCom", 2}, {"AnnoReg", 2017}, {"NumReg", numReg}, {"NumCanc", 0},
                   {"Tipo", tipo}, {"Stato", "N"}, {"NumDet", numDet}, {"Aliquota", 22.0}, {"Natura", ""},
                   {"ImponibileImporto", 100.0}, {"Imposta", 22.0}, {"EsigibilitaIva", "I"},
                   {"Detraibile", Valore::null()}, {"Deducibile", Valore::null()}},
                  modifiche);
}

// "" when xmllint finds the file valid against the schema; otherwise what it said.
inline QString esitoSchema(const QString& file, const QString& xsd) {
    QProcess p;
    p.start(QStringLiteral("xmllint"), {QStringLiteral("--nonet"), QStringLiteral("--noout"), QStringLiteral("--schema"),
                                        CartellaXsd() + xsd, file});
    if (!p.waitForFinished(120000)) return QStringLiteral("xmllint non terminato");
    if (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) return {};
    const QString e = QString::fromLocal8Bit(p.readAllStandardError());
    return e.isEmpty() ? QStringLiteral("xmllint: uscita %1").arg(p.exitCode()) : e;
}
inline QString esito20(const QString& f) { return esitoSchema(f, QStringLiteral("/datifattura20/DatiFatturav2.0.xsd")); }
inline QString esito21(const QString& f) { return esitoSchema(f, QStringLiteral("/datifattura21/DatiFatturav2.1.xsd")); }

inline QByteArray leggi(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The lines of a file without their indentation.
inline QStringList righe(const QByteArray& contenuto) {
    QStringList r;
    for (QString l : QString::fromLatin1(contenuto).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        while (l.startsWith(QLatin1Char('\t'))) l.remove(0, 1);
        r << l;
    }
    return r;
}

// A company database with the tables, the context, a scripted dialog
// service and menu, and a writer set for a single-company trial run.
class AmbienteDatiFat {
public:
    AmbienteDatiFat() {
        CreaTabelle(db);
        contesto = db.InstallaContesto();
        contesto->ggDialoghi = dialoghi;
        contesto->ggMenuClient = menu;
        cartella = db.Cartella() + QStringLiteral("/invio");
        QDir().mkpath(cartella);
        st.osIdDbase = db.idAzienda;
        st.osIdAzienda = QStringLiteral("01");
        st.osDescAzie = QStringLiteral("Ditta di prova");
        st.oiAnno = 2017;
        st.oiNumCom = 2;
        st.oiNumInvio = 1;
        st.osCosaEstr = QStringLiteral("E");
        st.oiTipoSta = 0;
        st.osDirInvio = cartella;
        st.osCodiceFiscaleDitta = QStringLiteral("01234567897");
        st.osPartitaIvaDitta = QStringLiteral("01234567897");
        st.osDittaRagSoc = QStringLiteral("Ditta di prova srl");
        st.osStatoGiurid = QStringLiteral("G");
        st.obEstrFile = true;
        st.obStampa = false;
        st.oiMaxClie = 1000;
    }

    void Conto(const Colonne& c) { db.Inserisci(db.idAzienda, QStringLiteral("PianoConti"), coppie(c)); }
    void Registrazione(const Colonne& t, const QList<Colonne>& righe) {
        db.Inserisci(db.idAzienda, QStringLiteral("DatiFatTest"), coppie(t));
        for (const Colonne& r : righe) db.Inserisci(db.idAzienda, QStringLiteral("DatiFatDett"), coppie(r));
    }
    // A client or supplier registration of one line on its own account.
    void Semplice(const QString& tipo, int numReg, const QString& c) {
        Registrazione(testata(tipo, numReg, c), {riga(tipo, numReg, 1)});
    }

    // What a column of a registration holds.
    Valore Colonna(int numReg, const QString& colonna, const QString& tipo = QStringLiteral("E")) {
        sqlite3* h = db.gestDb->DatabaseDaId(db.idAzienda)->Handle();
        sqlite3_stmt* s = nullptr;
        const QString sql = QStringLiteral("SELECT %1 FROM DatiFatTest WHERE NumReg = %2 AND Tipo = '%3'")
                                .arg(colonna).arg(numReg).arg(tipo);
        sqlite3_prepare_v2(h, sql.toUtf8().constData(), -1, &s, nullptr);
        Valore v = Valore::null();
        if (sqlite3_step(s) == SQLITE_ROW && sqlite3_column_type(s, 0) != SQLITE_NULL)
            v = Valore(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))));
        sqlite3_finalize(s);
        return v;
    }

    QStringList Messaggi() const { return dialoghi->testi(); }
    QStringList FileInCartella() const { return QDir(cartella).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name); }
    QString Percorso(const QString& nome) const { return cartella + QLatin1Char('/') + nome; }

    FixtureDb db;
    std::shared_ptr<Contesto> contesto;
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
    std::shared_ptr<MenuClientFinto> menu = std::make_shared<MenuClientFinto>();
    QString cartella;
    stDatiFat st;
};

}  // namespace datifat
