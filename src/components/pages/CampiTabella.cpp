#include "components/pages/CampiTabella.h"

#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "components/db/Interroga.h"
#include "components/util/UtilGenerali.h"

#include <QApplication>
#include <QDate>
#include <QPalette>
#include <QWidget>
#include <QRegularExpression>

namespace {

int TipoDichiarato(const QString& dichiarato) {
    const QString t = dichiarato.toUpper();
    if (t.contains(QLatin1String("INT"))) return TipoDato::Lungo;
    if (t.contains(QLatin1String("DOUBLE")) || t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) ||
        t.contains(QLatin1String("NUM")) || t.contains(QLatin1String("DEC")) || t.contains(QLatin1String("MONEY")))
        return TipoDato::Doppio;
    if (t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME"))) return TipoDato::Data;
    return TipoDato::Testo;
}

QDate DataDigitata(const QString& testo) {
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{2}|\\d{4})\\s*$"));
    const auto m = re.match(testo);
    if (!m.hasMatch()) return {};
    int anno = m.captured(3).toInt();
    if (m.captured(3).size() == 2) anno += anno < 30 ? 2000 : 1900;
    return QDate(anno, m.captured(2).toInt(), m.captured(1).toInt());
}

}  // namespace

QHash<QString, int> TipiColonne(GestoreDb& gestDb, const QString& idDb, const QString& tabella) {
    QHash<QString, int> tipi;
    const QHash<QString, QString> dichiarati = TipiDichiarati(gestDb, idDb, tabella);
    for (auto i = dichiarati.cbegin(); i != dichiarati.cend(); ++i) tipi.insert(i.key(), TipoDichiarato(i.value()));
    if (tipi.isEmpty())
        throw ErroreRun(NumErrore::OggettoInesistente, QStringLiteral("Tabella inesistente: ") + tabella, kOrigineGestRecordset);
    return tipi;
}

QString TestoDaValore(const Valore& valore, int tipo, const QString& maschera) {
    if (valore.eVuotoONull()) return {};
    if (tipo == TipoDato::Data) {
        QDate d = valore.eData() ? valore.data() : QDate::fromString(valore.testo().left(10), Qt::ISODate);
        return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : valore.testo();
    }
    if (tipo == TipoDato::Lungo || tipo == TipoDato::Doppio) {
        if (!maschera.isEmpty()) return UtilGenerali().FormattaValore(valore, maschera);
        return valore.eNumero() ? numeroInTesto(valore.numero()) : valore.testo();
    }
    return valore.testo();
}

QString VerificaTesto(const QString& testo, int tipo) {
    if (testo.trimmed().isEmpty()) return {};
    double n = 0;
    switch (tipo) {
    case TipoDato::Lungo:
    case TipoDato::Intero:
        if (!leggiNumeroItaliano(testo.trimmed(), n) || n != static_cast<double>(static_cast<long long>(n)))
            return kMsgNumeroNonValido;
        return {};
    case TipoDato::Doppio:
        return leggiNumeroItaliano(testo.trimmed(), n) ? QString() : kMsgNumeroNonValido;
    case TipoDato::Data:
        return DataDigitata(testo).isValid() ? QString() : kMsgDataNonValida;
    default:
        return {};
    }
}

QString LetteraleSql(const QString& testo, int tipo) {
    const QString errore = VerificaTesto(testo, tipo);
    if (!errore.isEmpty()) throw ErroreRun(NumErrore::TipoNonCorrispondente, errore + QStringLiteral(": ") + testo, QStringLiteral("Pagina"));
    UtilGenerali u;
    if (testo.trimmed().isEmpty()) return QStringLiteral("Null");
    double n = 0;
    switch (tipo) {
    case TipoDato::Lungo:
    case TipoDato::Intero:
    case TipoDato::Doppio:
        leggiNumeroItaliano(testo.trimmed(), n);
        return u.FormatoSql(Valore(n), tipo);
    case TipoDato::Data:
        return u.FormatoSql(Valore(DataDigitata(testo)), tipo);
    default:
        return u.FormatoSql(Valore(testo), tipo);
    }
}

void ColoraCampo(QWidget* box, long colore) {
    if (!box) return;
    box->setProperty("BackColor", static_cast<qlonglong>(colore));
    QPalette p = box->palette();
    QColor c;
    if ((colore & 0xFF000000L) == 0x80000000L)
        c = QApplication::palette().color(QPalette::Base);
    else
        c = QColor(int(colore & 0xFF), int((colore >> 8) & 0xFF), int((colore >> 16) & 0xFF));
    p.setColor(QPalette::Base, c);
    box->setPalette(p);
}

long ColoreCampo(const QWidget* box) {
    bool ok = false;
    const long c = box ? box->property("BackColor").toLongLong(&ok) : -1;
    return ok ? c : -1;
}

QString LetteraleValore(const Valore& valore, int tipo) {
    return LetteraleSql(valore.eNumero() ? numeroInTesto(valore.numero()) : valore.testo(), tipo);
}
