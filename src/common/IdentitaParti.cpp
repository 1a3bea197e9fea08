#include "common/IdentitaParti.h"

namespace {

bool vuoto(const QString& t) { return t.trimmed().isEmpty(); }

bool uguale(const QString& a, const char* b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

void dividiA(const QString& testo, qsizetype pos, QString& cognome, QString& nome) {
    cognome = testo.left(pos).trimmed();
    nome = testo.mid(pos + 1).trimmed();
}

}  // namespace

QString IsoPaese(const QString& codPaese) { return vuoto(codPaese) ? QStringLiteral("IT") : codPaese; }

bool CodFiscNumerico(const QString& codice) {
    return codice.startsWith(QLatin1Char('8')) || codice.startsWith(QLatin1Char('9'));
}

QString PartIvaCompleta(const QString& partIva, const QString& codFisc) {
    return codFisc.startsWith(QLatin1Char('-')) ? partIva + codFisc.mid(1) : partIva;
}

bool HaPartIva(const QString& partIva, const QString& codFisc, const QString& codPaese) {
    const QString completa = PartIvaCompleta(partIva, codFisc);
    if (vuoto(completa)) return false;
    return !(CodFiscNumerico(completa) && uguale(IsoPaese(codPaese), "IT"));
}

QString CodFiscDaUsare(const QString& codFisc, const QString& partIva) {
    if (!vuoto(codFisc)) return codFisc;
    return CodFiscNumerico(partIva) ? partIva : QString();
}

void DividiNominativo(const QString& ragSoc, const QString& ragSoc2, const QString& descrizione,
                      const QString& statoGiurid, const QString& partIva, const QString& codFisc,
                      QString& ragSocFile, QString& cognome, QString& nome, bool giuridicaDaPartIva) {
    ragSocFile.clear();
    cognome.clear();
    nome.clear();
    const QString base = vuoto(ragSoc) ? descrizione : ragSoc;
    const QString completo = (base + QLatin1Char(' ') + ragSoc2).trimmed();

    bool societa;
    if (giuridicaDaPartIva) {
        if (vuoto(partIva) && !CodFiscNumerico(codFisc))
            societa = false;
        else if (!CodFiscNumerico(partIva) && !CodFiscNumerico(codFisc))
            societa = !completo.contains(QLatin1Char('_'));
        else
            societa = true;
    } else {
        societa = uguale(statoGiurid, "G");
    }

    if (societa) {
        ragSocFile = completo;
    } else if (completo.contains(QLatin1Char('-')) || completo.contains(QLatin1Char('_')) || vuoto(ragSoc) ||
               vuoto(ragSoc2)) {
        DividiCognomeNome(completo, cognome, nome, false, true);
    } else {
        cognome = ragSoc;
        nome = ragSoc2;
    }
}

void DividiCognomeNome(const QString& testo, QString& cognome, QString& nome, bool tuttoInCognome,
                       bool dividiAlBlank) {
    nome.clear();
    if (tuttoInCognome) {
        cognome = testo;
        return;
    }
    const qsizetype primo = testo.indexOf(QLatin1Char('_'));
    if (primo >= 0) {
        const bool secondo = testo.indexOf(QLatin1Char('_'), primo + 1) >= 0;
        const QString usato = secondo ? testo.mid(primo + 1).trimmed() : testo;
        dividiA(usato, usato.indexOf(QLatin1Char('_')), cognome, nome);
        return;
    }
    if (const qsizetype trattino = testo.indexOf(QLatin1Char('-')); trattino >= 0) {
        dividiA(testo, trattino, cognome, nome);
        return;
    }
    // A leading blank is not a separator: it would leave the surname empty.
    const QString pulito = testo.trimmed();
    if (const qsizetype blank = pulito.indexOf(QLatin1Char(' ')); blank >= 0 && dividiAlBlank) {
        dividiA(pulito, blank, cognome, nome);
        return;
    }
    cognome = testo;
}
