#include "common/Dichiarante.h"

#include "common/FrmMsgCom.h"
#include "common/IdentitaParti.h"
#include "common/TestiUscita.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

#include <QStringList>

namespace {

const QString kOrigine = QStringLiteral("CaricaDichiarante");

bool vuoto(const QString& t) { return ggUtil().EVuoto(Valore(t), TipoDato::Testo); }

bool eS(const QString& t) { return t.trimmed().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0; }

// A code trimmed first and then filled to its width; a longer code is kept
// whole, so that the file's checks report it instead of sending a cut one.
QString adattato(const QString& t, int larghezza) {
    const QString v = t.trimmed();
    if (v.size() > larghezza) return v;
    return AllineaCampo(v, larghezza, QStringLiteral("S"), QStringLiteral(" "), true);
}

// A tax code fitted to sixteen characters, upper case.
QString codice16(const QString& t) { return adattato(t, 16).toUpper(); }

// The date a column holds, or nothing when it holds the empty date.
bool dataImpostata(const Valore& v, QDate& data) {
    data = ggUtil().ValoreData(v);
    return data.isValid() && data != UtilGenerali::DataVuota();
}

// The record sets of one call, closed together whatever happened.
class Letture {
public:
    ~Letture() {
        for (const QString& k : chiavi_) {
            try {
                rs_.ChiudiRecordset(k);
            } catch (...) {
                // Closing a set that failed to open must not hide the first error.
            }
        }
    }
    QString apri(GestoreDb& db, const QString& idDb, const QString& sql) {
        chiavi_ << rs_.ApriRecordset(db, idDb, QString(), sql, false, 4);
        return chiavi_.last();
    }
    QString campo(const QString& chiave, const QString& nome) const { return rs_.LeggiCampo(chiave, nome).testo(); }
    Valore valore(const QString& chiave, const QString& nome) const { return rs_.LeggiCampo(chiave, nome); }
    bool vuota(const QString& chiave) const { return rs_.RecVuoto(chiave); }

private:
    GestRecordset rs_;
    QStringList chiavi_;
};

void richiediRiga(const Letture& l, const QString& chiave, const QString& messaggio) {
    if (l.vuota(chiave)) throw ErroreRun(NumErrore::NessunRecordCorrente, messaggio, kOrigine);
}

}  // namespace

bool CaricaDichiarante(RecDichiarante& rec, const QString& idDb, bool dichiarazioneFacoltativa) {
    // Nothing of a previous company may survive a call, not even a failed one.
    rec = RecDichiarante{};
    RecDichiarante r;
    try {
        if (!ctx().ggGestDb)
            throw ErroreRun(NumErrore::OggettoNonImpostato, QStringLiteral("Gestore database non impostato"), kOrigine);
        GestoreDb& db = *ctx().ggGestDb;
        const QString id = vuoto(idDb) ? ctx().gsIdDbase : idDb;
        Letture l;

        const QString ditta = l.apri(db, id, QStringLiteral("Select * from ditta"));
        const QString gen =
            l.apri(db, id, QStringLiteral("SELECT IvaDichPeriodGen.*") + QStringLiteral(" FROM IvaDichPeriodGen"));
        richiediRiga(l, ditta, QStringLiteral("Mancano i dati della ditta"));
        const bool senzaDichiarazione = dichiarazioneFacoltativa && l.vuota(gen);
        if (!senzaDichiarazione)
            richiediRiga(l, gen, QStringLiteral("Mancano i dati generali della dichiarazione IVA periodica"));
        const auto dichGen = [&](const char* col) {
            return senzaDichiarazione ? QString() : l.campo(gen, QStringLiteral("IvaDichPeriodGen.") + QLatin1String(col));
        };

        // Taxpayer: the declaration's codes come before the company's.
        const QString candidati[] = {dichGen("CodFiscDichiarante"), dichGen("PartIvaDich"),
                                     l.campo(ditta, QStringLiteral("Ditta.CodFisc")),
                                     l.campo(ditta, QStringLiteral("Ditta.PartIva"))};
        r.CodiceFiscale = QString(16, QLatin1Char(' '));
        bool trovato = false;
        for (const QString& c : candidati) {
            if (!vuoto(codice16(c))) {
                r.CodiceFiscale = codice16(c);
                trovato = true;
                break;
            }
        }
        if (!trovato) frmMsgCom::msgCom(QStringLiteral("Manca codice fiscale contribuente"));

        const QString partIvaDich = dichGen("PartIvaDich");
        r.PartitaIva = adattato(vuoto(partIvaDich) ? l.campo(ditta, QStringLiteral("Ditta.PartIva")) : partIvaDich, 11);
        r.LiquidazioneGruppo = dichGen("DichGruppo");

        // Signer: a person has a code longer than eleven characters.
        const QString firmatario = dichGen("CodFiscFirmaDich").trimmed();
        if (!vuoto(firmatario)) {
            (firmatario.size() > 11 ? r.CFDichiarante : r.CodiceFiscaleSocieta) = codice16(firmatario);
            r.CodiceCaricaDichiarante =
                AllineaCampo(dichGen("Carica"), 2, QStringLiteral("D"), QStringLiteral("0"), true);
        }

        r.FirmaDichiarazione = dichGen("FirmaDich");
        r.IvaDichGenCampo1 = dichGen("IvaDichGenCampo1");
        r.StatoGiurid = l.campo(ditta, QStringLiteral("Ditta.StatoGiurid"));

        const bool giuridica = r.StatoGiurid.compare(QLatin1String("G"), Qt::CaseInsensitive) == 0;
        QString nominativo = dichGen("RagSocDich");
        if (nominativo.trimmed().isEmpty())
            nominativo = l.campo(ditta, giuridica ? QStringLiteral("Ditta.RagSoc") : QStringLiteral("Ditta.Nome")).trimmed();
        if (giuridica)
            r.RagSoc = nominativo;
        else
            DividiCognomeNome(nominativo, r.Cognome, r.Nome, false, true);

        // The intermediary is the accounting firm of the shared database.
        const QString studio = l.apri(db, ctx().gsIdDbMenu, QStringLiteral("SELECT TabStudio.* FROM TabStudio"));
        if (!l.vuota(studio)) {
            r.CFIntermediario = codice16(l.campo(studio, QStringLiteral("CodFiscIntermediario")).trimmed());
            const bool campo3 = eS(dichGen("IvaDichGenCampo3"));
            const bool campo4 = eS(dichGen("IvaDichGenCampo4"));
            const bool impegnoUno = (campo3 || campo4) ? campo3 : eS(l.campo(studio, QStringLiteral("TabStuCampo3")));
            r.ImpegnoPresentazione = impegnoUno ? QStringLiteral("1") : QStringLiteral("2");
            QDate data;
            if ((!senzaDichiarazione && dataImpostata(l.valore(gen, QStringLiteral("IvaDichPeriodGen.IvaDichGenData1")), data)) ||
                dataImpostata(l.valore(studio, QStringLiteral("TabStuData1")), data))
                r.DataImpegno = data;
            r.FirmaIntermediario = l.campo(studio, QStringLiteral("FirmaInRicPres")).trimmed();
        }
        r.FlagConferma = QStringLiteral("0");
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e, QString(), QString());
        return false;
    }
    rec = r;
    return true;
}
