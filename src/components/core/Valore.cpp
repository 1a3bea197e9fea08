#include "components/core/Valore.h"

#include <cmath>

bool Valore::eVuotoONull() const {
    switch (tipo()) {
    case TipoValore::Vuoto:
    case TipoValore::Null: return true;
    case TipoValore::Testo: return std::get<QString>(v_).trimmed().isEmpty();
    default: return false;
    }
}

QString numeroInTesto(double d) {
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
        return QString::number(static_cast<long long>(d));
    QString s = QString::number(d, 'g', 15);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

QString Valore::testo() const {
    switch (tipo()) {
    case TipoValore::Vuoto:
    case TipoValore::Null: return {};
    case TipoValore::Booleano: return std::get<bool>(v_) ? QStringLiteral("Vero") : QStringLiteral("Falso");
    case TipoValore::Intero: return QString::number(std::get<int64_t>(v_));
    case TipoValore::Doppio: return numeroInTesto(std::get<double>(v_));
    case TipoValore::Data: {
        const QDate& d = std::get<QDate>(v_);
        return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
    }
    case TipoValore::Testo: return std::get<QString>(v_);
    case TipoValore::Lista: {
        QStringList parti;
        for (const Valore& e : lista()) parti << e.testo();
        return parti.join(QLatin1Char(','));
    }
    }
    return {};
}

bool leggiNumeroItaliano(const QString& testo, double& risultato) {
    QString t = testo.trimmed();
    t.remove(QLatin1Char(' '));
    if (t.isEmpty()) return false;
    const int virgola = t.lastIndexOf(QLatin1Char(','));
    if (virgola >= 0) {
        QString intera = t.left(virgola);
        intera.remove(QLatin1Char('.'));
        t = intera + QLatin1Char('.') + t.mid(virgola + 1);
    } else {
        const int punti = t.count(QLatin1Char('.'));
        const int punto = t.lastIndexOf(QLatin1Char('.'));
        const bool decimale = punti == 1 && t.size() - punto - 1 != 3;
        if (!decimale) t.remove(QLatin1Char('.'));
    }
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d)) return false;
    risultato = d;
    return true;
}

double Valore::numero() const {
    switch (tipo()) {
    case TipoValore::Booleano: return std::get<bool>(v_) ? -1.0 : 0.0;
    case TipoValore::Intero: return static_cast<double>(std::get<int64_t>(v_));
    case TipoValore::Doppio: return std::get<double>(v_);
    case TipoValore::Data: {
        // Serial number of the date, day 0 being 30/12/1899 as the suite counts.
        const QDate& d = std::get<QDate>(v_);
        return d.isValid() ? static_cast<double>(QDate(1899, 12, 30).daysTo(d)) : 0.0;
    }
    case TipoValore::Testo: {
        double d = 0;
        return leggiNumeroItaliano(std::get<QString>(v_), d) ? d : 0.0;
    }
    default: return 0.0;
    }
}

int64_t Valore::intero() const {
    if (tipo() == TipoValore::Intero) return std::get<int64_t>(v_);
    return static_cast<int64_t>(std::llround(numero()));
}

bool Valore::booleano() const {
    switch (tipo()) {
    case TipoValore::Booleano: return std::get<bool>(v_);
    case TipoValore::Testo: {
        const QString t = std::get<QString>(v_).trimmed();
        if (t.compare(QLatin1String("Vero"), Qt::CaseInsensitive) == 0 ||
            t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
            t.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0)
            return true;
        return numero() != 0.0;
    }
    default: return numero() != 0.0;
    }
}

QDate Valore::data() const {
    switch (tipo()) {
    case TipoValore::Data: return std::get<QDate>(v_);
    case TipoValore::Testo: {
        const QString t = std::get<QString>(v_).trimmed();
        for (const char* f : {"dd/MM/yyyy", "d/M/yyyy", "yyyy-MM-dd", "dd/MM/yy", "ddMMyyyy"}) {
            QDate d = QDate::fromString(t, QString::fromLatin1(f));
            if (d.isValid()) return d;
        }
        // "yyyy-MM-dd hh:mm:ss" as SQLite keeps date-times.
        if (t.size() > 10) {
            QDate d = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
            if (d.isValid()) return d;
        }
        return {};
    }
    case TipoValore::Intero:
    case TipoValore::Doppio: return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(numero())));
    default: return {};
    }
}

ListaValori Valore::lista() const {
    if (tipo() == TipoValore::Lista) return *std::get<std::shared_ptr<const ListaValori>>(v_);
    if (tipo() == TipoValore::Vuoto) return {};
    return {*this};
}

bool Valore::operator==(const Valore& o) const {
    if (tipo() == TipoValore::Lista && o.tipo() == TipoValore::Lista) return lista() == o.lista();
    return v_ == o.v_;
}

Valore Valore::DaTestoDb(QString s, bool data) {
    if (data && s.size() >= 10) {
        const QDate d = QDate::fromString(s.left(10), Qt::ISODate);
        if (d.isValid()) return Valore(d);
    }
    return Valore(std::move(s));
}
