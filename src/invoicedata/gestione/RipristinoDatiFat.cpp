#include "invoicedata/gestione/RipristinoDatiFat.h"

#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "components/pages/ModelloGriglia.h"
#include "components/util/UtilGenerali.h"

RipristinoDatiFat::RipristinoDatiFat(const Chiave& chiave) : k_(chiave) {
    const QString s = chiave.stato.trimmed().toUpper();
    caso_ = s == QLatin1String("E") ? CancSingola : s == QLatin1String("C") ? CancFile : Invio;
}

QString RipristinoDatiFat::Motivo() const {
    switch (caso_) {
    case CancSingola: return QStringLiteral("questa registrazione è già stata riestratta");
    case CancFile: return QStringLiteral("esistono registrazioni che sono già state riestratte");
    default: return QStringLiteral("sono già stati fatti invii successivi o ci sono registrazioni cancellate");
    }
}

QString RipristinoDatiFat::Oggetto() const {
    const QString collegate = QStringLiteral(" per tutte le registrazioni collegate con la corrente");
    switch (caso_) {
    case CancSingola: return QStringLiteral("cancellato per questa registrazione");
    case CancFile: return QStringLiteral("cancellato") + collegate;
    default: return QStringLiteral("inviato") + collegate;
    }
}

QString RipristinoDatiFat::lit(const QString& testo, int tipo) const { return UtilGenerali().FormatoSql(Valore(testo.trimmed()), tipo); }

QString RipristinoDatiFat::condizioneNomeFile() const {
    // A send that was not split leaves the file name Null: "= Null" would match nothing.
    if (k_.nomeFile.trimmed().isEmpty())
        return QStringLiteral(" And (DatiFatTest.Nomefile Is Null Or DatiFatTest.Nomefile = '')");
    return QStringLiteral(" And DatiFatTest.Nomefile = ") + lit(k_.nomeFile, TipoDato::Testo);
}

QString RipristinoDatiFat::SqlVerifica() const {
    QString sql = QStringLiteral("Select count(*) as Esistono from DatiFatTest");
    if (caso_ == CancSingola)
        return sql + QStringLiteral(" Where AnnoReg = ") + lit(k_.annoReg, TipoDato::Intero) + QStringLiteral(" And NumReg = ") +
               lit(k_.numReg, TipoDato::Lungo) + QStringLiteral(" And NumCanc = 0");
    sql += QStringLiteral(" WHERE DatiFatTest.AnnoCom = ") + lit(k_.annoCom, TipoDato::Intero) +
           QStringLiteral(" And DatiFatTest.NumCom = ") + lit(k_.numCom, TipoDato::Intero) +
           QStringLiteral(" And DatiFatTest.Tipo = ") + lit(k_.tipo, TipoDato::Testo);
    if (caso_ == CancFile)
        return sql + QStringLiteral(" And DatiFatTest.NumCanc = ") + lit(k_.numCanc, TipoDato::Intero) + condizioneNomeFile() +
               QStringLiteral(" And Exists(Select AnnoCom from DatiFatTest as DF Where DatiFatTest.AnnoReg = DF.AnnoReg"
                              " And DatiFatTest.NumReg = DF.NumReg And DF.NumCanc = 0)");
    const QString inv = lit(k_.numInv, TipoDato::Intero);
    return sql + QStringLiteral(" And (DatiFatTest.NumInv > ") + inv + QStringLiteral(" or (DatiFatTest.NumInv = ") + inv +
           QStringLiteral(" and Exists(Select AnnoCom from DatiFatTest as DF Where DatiFatTest.AnnoCom = DF.AnnoCom"
                          " And DatiFatTest.NumCom = DF.NumCom And DatiFatTest.Tipo = DF.Tipo"
                          " And DatiFatTest.NumInv = DF.NumInv And DF.NumCanc > 0)))");
}

QString RipristinoDatiFat::condizioniTestata() const {
    QString sql = QStringLiteral(" WHERE DatiFatTest.AnnoCom = ") + lit(k_.annoCom, TipoDato::Intero) +
                  QStringLiteral(" And DatiFatTest.NumCom = ") + lit(k_.numCom, TipoDato::Intero);
    if (caso_ == CancSingola)
        return sql + QStringLiteral(" And DatiFatTest.AnnoReg = ") + lit(k_.annoReg, TipoDato::Intero) +
               QStringLiteral(" And DatiFatTest.NumReg = ") + lit(k_.numReg, TipoDato::Lungo) +
               QStringLiteral(" And DatiFatTest.NumCanc = ") + lit(k_.numCanc, TipoDato::Intero);
    sql += QStringLiteral(" And DatiFatTest.Tipo = ") + lit(k_.tipo, TipoDato::Testo);
    if (caso_ == CancFile) return sql + QStringLiteral(" And DatiFatTest.NumCanc = ") + lit(k_.numCanc, TipoDato::Intero) + condizioneNomeFile();
    return sql + QStringLiteral(" And DatiFatTest.NumInv = ") + lit(k_.numInv, TipoDato::Intero);
}

QString RipristinoDatiFat::SqlTestata() const {
    const QString set = caso_ == Invio ? QStringLiteral(" Set NumInv = 0, NomeFile = Null") : QStringLiteral(" Set NumCanc = 0, Stato = 'N'");
    return QStringLiteral("Update DatiFatTest") + set + condizioniTestata();
}

QString RipristinoDatiFat::SqlLinee() const {
    if (caso_ == Invio) return {};
    // The lines follow their header row while it still has the old key.
    return QStringLiteral("Update DatiFatDett Set NumCanc = 0, Stato = 'N' Where Exists(Select AnnoCom from DatiFatTest") +
           condizioniTestata() +
           QStringLiteral(" AND DatiFatDett.AnnoCom = DatiFatTest.AnnoCom And DatiFatDett.NumCom = DatiFatTest.NumCom"
                          " And DatiFatDett.AnnoReg = DatiFatTest.AnnoReg And DatiFatDett.NumReg = DatiFatTest.NumReg"
                          " And DatiFatDett.NumCanc = DatiFatTest.NumCanc And DatiFatDett.Tipo = DatiFatTest.Tipo"
                          " And DatiFatDett.Stato = DatiFatTest.Stato)");
}

long RipristinoDatiFat::Verifica(GestoreDb& gestDb, const QString& idDb) const {
    ModelloGriglia conta;
    conta.Carica(gestDb, idDb, SqlVerifica());
    return conta.rowCount() == 0 ? 0 : static_cast<long>(conta.Cella(0, 0).numero());
}

long RipristinoDatiFat::Esegui(GestoreDb& gestDb, const QString& idDb) const {
    gestDb.IniziaTransazione(idDb);
    try {
        const QString linee = SqlLinee();
        if (!linee.isEmpty()) gestDb.EseguiSql(idDb, linee);
        gestDb.EseguiSql(idDb, SqlTestata());
        const long righe = gestDb.DatabaseDaId(idDb)->RecordsAffected();
        if (righe <= 0) {
            gestDb.AnnullaTransazione(idDb);
            return 0;
        }
        gestDb.ConfermaTransazione(idDb);
        return righe;
    } catch (...) {
        try {
            gestDb.AnnullaTransazione(idDb);
        } catch (const ErroreRun&) {
            // The first failure is the one to report; nothing was committed.
        }
        throw;
    }
}
