#include "components/pages/Comlin.h"

#include "components/core/ErroreRun.h"

#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <algorithm>
#include <cmath>

namespace {
const QString kOrigine = QStringLiteral("Comlin");
constexpr int kMaxCaratteriColonna = 30;
}  // namespace

Comlin::Comlin() : sta_(std::make_unique<Stampa>()) {}

void Comlin::ImpGriglia(QTableView* griglia) {
    griglia_ = griglia;
    if (!griglia_) return;
    griglia_->setModel(&modello_);
    griglia_->setSelectionBehavior(QAbstractItemView::SelectRows);
    griglia_->setSelectionMode(QAbstractItemView::SingleSelection);
    griglia_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QObject::connect(griglia_->selectionModel(), &QItemSelectionModel::currentRowChanged, griglia_,
                     [this](const QModelIndex& attuale, const QModelIndex&) {
                         if (inSpostamento_ || !attuale.isValid()) return;
                         riga_ = attuale.row();
                         aggiornaContatore();
                     });
}

void Comlin::ImpCerca(QLineEdit* testo, QComboBox* colonna, const QList<QRadioButton*>& direzioni) {
    txtCerca_ = testo;
    cobCerca_ = colonna;
    direzioni_.clear();
    for (QRadioButton* r : direzioni) direzioni_ << r;
}

void Comlin::aggiornaContatore() {
    if (!contatore_) return;
    QString a, b;
    LeggiContatore(a, b);
    contatore_->setText(a + QStringLiteral(" / ") + b);
}

void Comlin::LeggiContatore(QString& corrente, QString& totale) const {
    corrente = QString::number(riga_ + 1);
    totale = QString::number(modello_.rowCount());
}

bool Comlin::VaiARiga(int riga) {
    if (riga < 0 || riga >= modello_.rowCount()) return false;
    riga_ = riga;
    if (griglia_) {
        inSpostamento_ = true;
        griglia_->setCurrentIndex(modello_.index(riga, 0));
        griglia_->selectRow(riga);
        inSpostamento_ = false;
    }
    aggiornaContatore();
    return true;
}

void Comlin::ImpostaRecordset(const QString& sql) {
    if (!gestDb_) throw ErroreRun(NumErrore::OggettoNonImpostato, QStringLiteral("Lista non collegata al database"), kOrigine);
    modello_.Carica(*gestDb_, idDb_, sql);
    sql_ = sql;
    riga_ = -1;
    segnalibro_ = -1;
    if (ospite_) {
        ospite_->PersColonne();
        ospite_->ovfrmBookmark(QString());
    }
    if (griglia_) modello_.ApplicaLarghezze(*griglia_);
    if (cobCerca_) {
        cobCerca_->clear();
        for (int c = 0; c < modello_.columnCount(); ++c) cobCerca_->addItem(modello_.Titolo(c));
        if (modello_.columnCount() > 0) cobCerca_->setCurrentIndex(0);
    }
    if (!VaiARiga(0)) aggiornaContatore();
}

void Comlin::RinfrescaDati() {
    if (sql_.isEmpty()) return;
    const int riga = riga_;
    ImpostaRecordset(sql_);
    VaiARiga(std::min(riga, modello_.rowCount() - 1));
}

int Comlin::Ordina(int colonna) {
    if (colonna < 0 || colonna >= modello_.columnCount()) return 1;
    modello_.Ordina(colonna);
    VaiARiga(0);
    return 0;
}

void Comlin::TitoloColonna(const QString& colonna, const QString& titolo) {
    const int i = modello_.IndiceColonna(colonna);
    if (i < 0) throw ErroreRun(NumErrore::OggettoInesistente, QStringLiteral("Colonna inesistente: ") + colonna, kOrigine);
    modello_.ImpTitolo(i, titolo);
}

void Comlin::LarghezzaColonna(const QString& colonna, int twips) {
    modello_.ImpLarghezza(colonna, twips);
    // Set while the rows are read: the load measures all columns once after.
    if (griglia_) modello_.RiapplicaLarghezze(*griglia_, modello_.IndiceColonna(colonna));
}

void Comlin::LanciaComando(const QString& chiave) {
    const QString k = chiave.toLower();
    const int n = modello_.rowCount();
    if (k == QLatin1String("inizio")) VaiARiga(0);
    else if (k == QLatin1String("fine")) VaiARiga(n - 1);
    else if (k == QLatin1String("precedente")) VaiARiga(riga_ - 1);
    else if (k == QLatin1String("successiva")) VaiARiga(riga_ + 1);
    else if (k == QLatin1String("aggiorna")) RinfrescaDati();
    else if (k == QLatin1String("punta")) {
        if (riga_ >= 0) {
            segnalibro_ = riga_;
            if (ospite_) ospite_->ovfrmBookmark(QString::number(riga_ + 1));
        }
    } else if (k == QLatin1String("vaia")) VaiARiga(segnalibro_);
    else if (k == QLatin1String("trova")) {
        if (txtCerca_) txtCerca_->setFocus();
    } else if (k == QLatin1String("cerca")) cerca();
    else if (k == QLatin1String("stampa")) {
        if (n > 0 && ofrmComlinSTampa) ofrmComlinSTampa->ApriStampaLista(*this);
    } else if (k == QLatin1String("chiudi")) {
        if (ospite_) ospite_->ChiudiFrm();
    } else if (k == QLatin1String("menu")) {
        if (ospite_) ospite_->MenuFrm();
    }
}

void Comlin::cerca() {
    if (!txtCerca_ || !cobCerca_) return;
    const QString testo = txtCerca_->text().trimmed();
    const int colonna = cobCerca_->currentIndex();
    if (testo.isEmpty() || colonna < 0) return;
    int direzione = 0;
    for (int i = 0; i < direzioni_.size(); ++i)
        if (direzioni_[i] && direzioni_[i]->isChecked()) direzione = i;
    const int n = modello_.rowCount();
    auto trovata = [&](int r) { return modello_.TestoCella(r, colonna).contains(testo, Qt::CaseInsensitive); };
    int r = -1;
    switch (direzione) {
    case 0: for (int i = 0; i < n && r < 0; ++i) if (trovata(i)) r = i; break;
    case 1: for (int i = riga_ + 1; i < n && r < 0; ++i) if (trovata(i)) r = i; break;
    case 2: for (int i = riga_ - 1; i >= 0 && r < 0; --i) if (trovata(i)) r = i; break;
    default: for (int i = n - 1; i >= 0 && r < 0; --i) if (trovata(i)) r = i; break;
    }
    if (r >= 0) {
        VaiARiga(r);
    } else if (ospite_) {
        RichiestaMsgCom m;
        m.messaggio = QStringLiteral("Testo non trovato: ") + testo;
        ospite_->Domanda(m);
    }
}

void Comlin::AvviaStampa(FontSta& font, int orientamento, const QString& colonne) {
    Stampa& st = *sta_;
    QList<int> scelte;
    const bool soloVisibili = colonne.compare(QLatin1String("V"), Qt::CaseInsensitive) == 0;
    for (int c = 0; c < modello_.columnCount(); ++c)
        if (!soloVisibili || !griglia_ || !griglia_->isColumnHidden(c)) scelte << c;

    st.ImpChiamante(ospite_);
    st.ImpForzaVert(orientamento == 2 ? 0 : 1);
    st.ImpParametro(QStringLiteral("Orientamento"), 2, Valore(orientamento));
    if (ospite_) ospite_->oiStaAtt(1);
    try {
        FontSta corpo(std::make_shared<FontStd>(font.FontCorrente()));
        FontSta grassetto(std::make_shared<FontStd>(font.FontCorrente()));
        grassetto.FontCorrente().Bold = true;
        st.ImpFont(corpo, QStringLiteral("CorpoCampo"));
        st.ImpFont(grassetto, QStringLiteral("CorpoLab"));
        st.AvviaDocumento();
        QList<int> id;
        // The widest text of each column as printed: cells longer than
        // kMaxCaratteriColonna characters are cut on the page. Measured once,
        // at the chosen size: a smaller font keeps the same text the widest.
        QStringList piuLarghe;
        QList<int> caratteri;
        st.UsaFont(QStringLiteral("CorpoCampo"));
        const double larghezzaMassimaCarattere = st.LarghezzaTesto(QStringLiteral("W"));
        for (int c : scelte) {
            int car = modello_.Titolo(c).size();
            QString larga;
            double migliore = 0;
            for (int r = 0; r < modello_.rowCount(); ++r) {
                const QString t = modello_.TestoCella(r, c).left(kMaxCaratteriColonna);
                car = std::max(car, int(t.size()));
                // No wider than its characters at their widest: no need to measure it.
                if (t.size() * larghezzaMassimaCarattere <= migliore) continue;
                const double l = st.LarghezzaTesto(t);
                if (l > migliore) {
                    migliore = l;
                    larga = t;
                }
            }
            piuLarghe << larga;
            caratteri << std::clamp(car, 1, kMaxCaratteriColonna);
        }
        // Each column as wide as its widest cell and its bold heading. On the
        // page an empty column of one blank keeps three blanks between two
        // columns, whatever their alignment; a file keeps its own layout.
        // Columns wider than the page take a smaller font, so that none is
        // left off the sheet.
        const int percorso = st.PercorsoEffettivo();
        const bool sullaPagina = percorso != OpzSta::File && percorso != OpzSta::LarghezzaFissa;
        auto definisciColonne = [&] {
            st.AzzeraColonne();
            id.clear();
            for (int i = 0; i < scelte.size(); ++i) {
                st.UsaFont(QStringLiteral("CorpoLab"));
                const double titolo = st.LarghezzaTesto(modello_.Titolo(scelte[i]));
                st.UsaFont(QStringLiteral("CorpoCampo"));
                QString campione = piuLarghe[i];
                while (st.LarghezzaTesto(campione) < titolo) campione += QLatin1Char('0');
                if (sullaPagina && i > 0) st.DefColonna(QStringLiteral(" "));
                id << st.DefColonna(campione, caratteri[i]);
            }
            const double disponibile = st.LeggiLargPag() - st.LeggiMrDes();
            return id.isEmpty() ? 1.0 : (disponibile - st.LeggiMrSin()) / (st.LeggiDesColonna(id.last()) - st.LeggiMrSin());
        };
        constexpr double kCorpoMinimo = 5;
        for (int prova = 0; prova < 4; ++prova) {
            const double rapporto = definisciColonne();
            const double dimensione = corpo.FontCorrente().Size;
            if (rapporto >= 1 || dimensione <= kCorpoMinimo) break;
            const double nuova = std::max(kCorpoMinimo, std::floor(dimensione * rapporto * 2) / 2);
            corpo.FontCorrente().Size = grassetto.FontCorrente().Size = nuova;
            st.ImpFont(corpo, QStringLiteral("CorpoCampo"));
            st.ImpFont(grassetto, QStringLiteral("CorpoLab"));
        }
        st.UsaFont(QStringLiteral("CorpoCampo"));
        auto intestazione = [&] {
            st.UsaFont(QStringLiteral("CorpoLab"));
            st.ImpSinistra(0);
            st.ImpDestra(0);
            st.ImpAllineamento(QStringLiteral("S"));
            st.StampaTesto(0, ospite_ ? ospite_->TitoloLista() : QString());
            st.NuovaRiga();
            for (int i = 0; i < scelte.size(); ++i) st.StampaColonna(id[i], Valore(modello_.Titolo(scelte[i])));
            st.NuovaRiga();
            st.UsaFont(QStringLiteral("CorpoCampo"));
        };
        intestazione();
        for (int r = 0; r < modello_.rowCount() && !st.LeggiAnnullata(); ++r) {
            if (st.VerificaSpazio(1)) {
                st.NuovaPagina();
                intestazione();
            }
            for (int i = 0; i < scelte.size(); ++i) {
                const Valore v = modello_.Cella(r, scelte[i]);
                st.ImpAllineamento(v.eNumero() ? QStringLiteral("D") : QStringLiteral("S"));
                QString testo = modello_.TestoCella(r, scelte[i]);
                // On the page a cell stays inside its column; a file keeps it whole.
                if (sullaPagina) testo.truncate(kMaxCaratteriColonna);
                st.StampaColonna(id[i], Valore(testo));
            }
            st.NuovaRiga();
        }
        st.FineStampa();
    } catch (...) {
        // The print object clears the flag on every end it reaches; a failure
        // before it started must not leave later prints refused.
        if (ospite_) ospite_->oiStaAtt(0);
        throw;
    }
    if (ospite_) ospite_->oiStaAtt(0);
}
