#include "invoicedata/run/ControlliRunDatiFat.h"

#include "common/FrmMsgCom.h"
#include "components/util/UtilGenerali.h"
#include "invoicedata/run/LockDatiFat.h"

#include <QRegularExpression>

namespace {

bool Vuoto(const QString& s) { return ggUtil().EVuoto(Valore(s), TipoDato::Testo); }
long ValoreDi(const QString& s) { return static_cast<long>(ggUtil().ValoreNumerico(Valore(s.trimmed()))); }

EsitoControllo Fallito(const QString& messaggio, int focus) {
    frmMsgCom::msgCom(messaggio, QStringLiteral("&Ok"), std::nullopt, std::nullopt, kTitoloDatiFatXml, 80, 600, 0, 1);
    return {false, messaggio, focus};
}

// The tax code of the declarant: 11 digits of a company or 16 characters of
// a person, letters and digits only.
bool CodiceFiscaleValido(const QString& cf) {
    static const QRegularExpression re(QStringLiteral("^[A-Z0-9]{11}$|^[A-Z0-9]{16}$"));
    return re.match(cf).hasMatch();
}

}  // namespace

EsitoControllo ControllaDatiElab(DatiRunDatiFat& d) {
    using namespace CampoDatiFat;
    if (d.inErrore) return Fallito(QStringLiteral("Ci sono dei dati non validi"), *d.inErrore);
    if (Vuoto(d.daAzienda) || Vuoto(d.aAzienda))
        return Fallito(QStringLiteral("Si prega di inserire entrambe le ditte da elaborare"), DaAzienda);
    if (d.daAzienda.trimmed().compare(d.aAzienda.trimmed(), Qt::CaseInsensitive) > 0)
        return Fallito(QStringLiteral("Si prega di inserire le ditte da elaborare in ordine crescente"), DaAzienda);
    const long anno = ValoreDi(d.anno);
    if (anno == 0) return Fallito(QStringLiteral("Si prega di inserire l'anno"), Anno);
    if (anno < 2017 || anno > 2049) return Fallito(QStringLiteral("Anno non valido"), Anno);
    // A missing number and a declarant's tax code of the wrong length send
    // the user back to the year box, the start of the communication's data.
    if (ValoreDi(d.numero) == 0) return Fallito(QStringLiteral("Si prega di inserire il numero comunicazione"), Anno);

    d.cfDichiarante = d.cfDichiarante.trimmed().toUpper();
    if (!d.cfDichiarante.isEmpty() && !CodiceFiscaleValido(d.cfDichiarante))
        return Fallito(QStringLiteral("Codice fiscale dichiarante non valido"), Anno);
    if (Vuoto(d.cfDichiarante) != Vuoto(d.caricaDichiarante))
        return Fallito(
            QStringLiteral("Dichiarante: compilare sia il codice fiscale che la carica oppure nessuno dei due"),
            CfDichiarante);
    if (!Vuoto(d.caricaDichiarante)) {
        static const QRegularExpression cifre(QStringLiteral("^\\d{1,2}$"));
        const QString carica = d.caricaDichiarante.trimmed();
        if (!cifre.match(carica).hasMatch() || carica.toInt() < 1 || carica.toInt() > 15)
            return Fallito(QStringLiteral("Codice carica non valido"), CaricaDichiarante);
    }

    if (d.molteAnag) {
        const long massimo = ValoreDi(d.maxAnagrafiche);
        if (massimo == 0) return Fallito(QStringLiteral("Inserire il numero massimo di anagrafiche"), MaxAnagrafiche);
        if (massimo > 1000 &&
            frmMsgCom::msgCom(
                QStringLiteral("Numero mssimo anagrafiche superiore a quello consentito: confermare ugualmente"),
                QStringLiteral("&Ok"), QStringLiteral("&Annulla"), std::nullopt, kTitoloDatiFatXml, 80, 600, 0,
                2) != 1)
            return {false, {}, MaxAnagrafiche};
    }
    if (d.tipoSta == TipoSta::Definitiva && d.tipoElab == TipoElab::Stampa)
        return Fallito(QStringLiteral("Impossibile effettuare esecuzione in definitiva solo in stampa"), 0);
    if (d.tipoSta == TipoSta::Prova && d.tipoCom == TipoCom::Cancellazione)
        return Fallito(QStringLiteral("Impossibile effettuare cancellazione in prova"), 0);

    if (d.tipoCom == TipoCom::Normale) {
        if (d.tipoSta == TipoSta::Rielabora && ValoreDi(d.numInvio) == 0)
            return Fallito(QStringLiteral("Inserire il numero invio da Rielaborare"), NumInvio);
    } else {
        if (d.tipoElab == TipoElab::Stampa)
            return Fallito(QStringLiteral("Tipo elaborazione non valido per comunicazioni di cancellazione"), 0);
        if (Vuoto(d.identificativo))
            return Fallito(QStringLiteral("Mettere l'identificativo ricevuto al momento dell'invio del file che si "
                                          "vuole cancellare"),
                           Identificativo);
        // The identifier the Agency gave the file: up to 18 digits.
        static const QRegularExpression idFile(QStringLiteral("^\\d{1,18}$"));
        d.identificativo = d.identificativo.trimmed();
        if (!idFile.match(d.identificativo).hasMatch())
            return Fallito(QStringLiteral("Identificativo non valido: indicare da 1 a 18 cifre"), Identificativo);
        if (Vuoto(d.annoReg) != Vuoto(d.numReg))
            return Fallito(QStringLiteral("Inserire sia l'anno che il numero da cancellare"), AnnoReg);
        if (!Vuoto(d.invioCanc) && !Vuoto(d.annoReg))
            return Fallito(QStringLiteral("Impossibile cancellare un intero file (indicando numero invio) ed una "
                                          "singola registrazione contemporaneamente"),
                           InvioCanc);
        if (ValoreDi(d.invioCanc) == 0 && Vuoto(d.annoReg))
            return Fallito(QStringLiteral("Indicare il numero invio file da cancellare o il riferimento alla singola "
                                          "registrazione"),
                           InvioCanc);
    }
    if (!d.clienti && !d.fornitori) return Fallito(QStringLiteral("Selezionare cosa estrarre"), 0);
    return {};
}

std::optional<ErroreCampo> RegolaAnnoNumero(int anno, int numero) {
    if (anno <= 0 || numero <= 0) return std::nullopt;
    if (anno < 2017) return ErroreCampo{CampoDatiFat::Anno, QStringLiteral("Anno comunicazione non valido")};
    const int massimo = anno == 2017 ? 2 : 12;
    if (numero > massimo)
        return ErroreCampo{CampoDatiFat::Numero, QStringLiteral("Numero comunicazione non valido")};
    return std::nullopt;
}

std::optional<ErroreCampo> RegolaCodiceCarica(const QString& testo) {
    if (testo.length() > 2)
        return ErroreCampo{CampoDatiFat::CaricaDichiarante, QStringLiteral("Codice carica non valido")};
    return std::nullopt;
}

std::optional<ErroreCampo> RegolaNumeroInvio(int indice, long valore) {
    if (valore < 0 || valore > kMaxNumInvio) return ErroreCampo{indice, QStringLiteral("Numero invio non valido")};
    return std::nullopt;
}
