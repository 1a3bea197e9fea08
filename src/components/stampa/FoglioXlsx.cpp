#include "components/stampa/FoglioXlsx.h"

#include "components/core/ErroreRun.h"
#include "components/core/Valore.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

#include <xlsxwriter.h>

struct FoglioXlsx::Dati {
    QString file;
    bool senzaFormato = false;
    lxw_workbook* libro = nullptr;
    lxw_worksheet* foglio = nullptr;
    QHash<QString, lxw_format*> formati;
    lxw_row_t riga = 0;
};

FoglioXlsx::FoglioXlsx(const QString& file, bool numeriSenzaFormato) : d_(std::make_unique<Dati>()) {
    d_->file = file;
    d_->senzaFormato = numeriSenzaFormato;
    // The library writes the file only on closing: a place that cannot be
    // written must fail now, before the print starts.
    QFile prova(file);
    if (!prova.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ErroreRun(75, QStringLiteral("Impossibile scrivere il file di stampa \"%1\"").arg(file), QStringLiteral("Stampa"));
    prova.close();
    const QByteArray nome = QFile::encodeName(file);
    d_->libro = workbook_new(nome.constData());
    if (d_->libro) d_->foglio = workbook_add_worksheet(d_->libro, nullptr);
    if (!d_->libro || !d_->foglio)
        throw ErroreRun(75, QStringLiteral("Impossibile scrivere il file di stampa \"%1\"").arg(file), QStringLiteral("Stampa"));
}

FoglioXlsx::~FoglioXlsx() {
    if (d_ && d_->libro) {
        workbook_close(d_->libro);
        d_->libro = nullptr;
    }
}

bool FoglioXlsx::FormatoNumero(const QString& campo, double& valore, QString& formato) {
    static const QRegularExpression numero(QStringLiteral("^-?(\\d{1,3}(\\.\\d{3})+|\\d+)(,\\d+)?$"));
    const QString t = campo.trimmed();
    const auto m = numero.match(t);
    if (!m.hasMatch()) return false;
    const QString intera = m.captured(1);
    // A code such as "00123" keeps its zeros: it is text.
    if (intera.size() > 1 && intera.startsWith(QLatin1Char('0'))) return false;
    if (!leggiNumeroItaliano(t, valore)) return false;
    const int decimali = m.captured(3).isEmpty() ? 0 : static_cast<int>(m.captured(3).size()) - 1;
    formato = (m.captured(2).isEmpty() ? QStringLiteral("0") : QStringLiteral("#,##0")) +
              (decimali > 0 ? QStringLiteral(".") + QString(decimali, QLatin1Char('0')) : QString());
    return true;
}

void FoglioXlsx::Riga(const QStringList& campi) {
    for (int c = 0; c < campi.size(); ++c) {
        const QString& campo = campi[c];
        if (campo.isEmpty()) continue;
        double v = 0;
        QString formato;
        const auto col = static_cast<lxw_col_t>(c);
        if (FormatoNumero(campo, v, formato)) {
            lxw_format* f = nullptr;
            if (!d_->senzaFormato) {
                f = d_->formati.value(formato);
                if (!f) {
                    f = workbook_add_format(d_->libro);
                    format_set_num_format(f, formato.toUtf8().constData());
                    d_->formati.insert(formato, f);
                }
            }
            worksheet_write_number(d_->foglio, d_->riga, col, v, f);
        } else {
            worksheet_write_string(d_->foglio, d_->riga, col, campo.toUtf8().constData(), nullptr);
        }
    }
    ++d_->riga;
}

void FoglioXlsx::Chiudi() {
    if (!d_->libro) return;
    const lxw_error e = workbook_close(d_->libro);
    d_->libro = nullptr;
    if (e != LXW_NO_ERROR)
        throw ErroreRun(61, QStringLiteral("Errore di scrittura nel file \"%1\": %2").arg(d_->file, QString::fromUtf8(lxw_strerror(e))),
                        QStringLiteral("Stampa"));
}
