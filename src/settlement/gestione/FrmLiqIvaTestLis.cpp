#include "settlement/gestione/FrmLiqIvaTestLis.h"

#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

#include <QLineEdit>

namespace {

const QString kCaption = QStringLiteral("Lista Testate Liquidazione Periodica Iva");

struct Colonna {
    const char* nome;
    int larghezza;
    bool importo;
};
constexpr Colonna kColonne[] = {{"Anno", 800, false},       {"NumCom", 800, false},     {"PrimoPer", 1000, false},
                                {"CalcIva_1", 1500, true},  {"CalcIva_2", 1500, true},  {"CalcIva_3", 1500, true},
                                {"CalcIva_4", 1500, true},  {"CalcIva_5", 1500, true}};

}  // namespace

frmLiqIvaTestLis::frmLiqIvaTestLis() : SchermoLista(QStringLiteral("frmLiqIvaTestLis"), kCaption) {
    Campo(10, QStringLiteral("Anno da:"), 8, 40, 60, 170);
    Campo(20, QStringLiteral("a:"), 250, 40, 60, 20);
    Campo(30, QStringLiteral("Numero Comunicazione da:"), 8, 70, 60, 170);
    Campo(40, QStringLiteral("a:"), 250, 70, 60, 20);
    setTabOrder(txt[10], txt[20]);
    setTabOrder(txt[20], txt[30]);
    setTabOrder(txt[30], txt[40]);
}

void frmLiqIvaTestLis::DefinisciSelezioni(LisPag& p) {
    p.AggiungiSelezione(QStringLiteral("Anno"), txt[10], QStringLiteral(">="), 3);
    p.AggiungiSelezione(QStringLiteral("Anno"), txt[20], QStringLiteral("<="), 3, QStringLiteral("A"));
    p.AggiungiSelezione(QStringLiteral("NumCom"), txt[30], QStringLiteral(">="), 4);
    p.AggiungiSelezione(QStringLiteral("NumCom"), txt[40], QStringLiteral("<="), 4, QStringLiteral("A"));
    const QString anno = AnnoPredefinito();
    p.ImpValoreSelezione(QStringLiteral("Anno"), anno);
    p.ImpValoreSelezione(QStringLiteral("AnnoA"), anno);
}

QString frmLiqIvaTestLis::PrepSqlImpIva(int piNum) {
    return QStringLiteral(",(Select CASE WHEN ImportoACredito Is Null Or ImportoACredito = 0 THEN ImportoDaVersare * -1"
                          " ELSE ImportoACredito END") +
           QStringLiteral(" from LiqIvaDett") + QStringLiteral(" Where LiqIvaDett.Anno = LiqIvaTest.Anno") +
           QStringLiteral(" And LiqIvaDett.NumCom = LiqIvaTest.NumCom") + QStringLiteral(" And LiqIvaDett.Modulo = ") +
           ggUtil().FormatoSql(Valore(piNum), TipoDato::Intero) + QStringLiteral(") as ");
}

QString frmLiqIvaTestLis::PrepSql(const QString& psWhere) {
    QString sql = QStringLiteral("Select") + QStringLiteral(" LiqIvaTest.Anno") + QStringLiteral(",LiqIvaTest.NumCom") +
                  QStringLiteral(",(Select CASE WHEN Mese Is Null THEN 'T-' || CAST(Trimestre AS INTEGER)"
                                 " WHEN Trimestre Is Null THEN 'M-' || CAST(Mese AS INTEGER)"
                                 " ELSE 'M-' || CAST(Mese AS INTEGER) || '/' || 'T-' || CAST(Trimestre AS INTEGER) END") +
                  QStringLiteral(" from LiqIvaDett") + QStringLiteral(" Where LiqIvaDett.Anno = LiqIvaTest.Anno") +
                  QStringLiteral(" And LiqIvaDett.NumCom = LiqIvaTest.NumCom") +
                  QStringLiteral(" And LiqIvaDett.Modulo = 1) as ") + QStringLiteral("PrimoPer");
    for (int n = 1; n <= 5; ++n) sql += PrepSqlImpIva(n) + QStringLiteral("CalcIva_") + QString::number(n);
    sql += QStringLiteral(" from LiqIvaTest");
    if (!psWhere.isEmpty()) sql += QStringLiteral(" where ") + psWhere;
    sql += QStringLiteral(" Order by LiqIvaTest.Anno, LiqIvaTest.NumCom");
    return sql;
}

bool frmLiqIvaTestLis::VerSelez() {
    // The pager checks that the fields hold numbers and that no range is
    // upside down, and says which.
    return !Pager().SelezioneNonValida();
}

void frmLiqIvaTestLis::PersColonne() {
    Comlin& c = Lista();
    for (int i = 0; i < int(std::size(kColonne)); ++i) c.TitoloColonna(i, QString::fromLatin1(kColonne[i].nome));
    for (const Colonna& k : kColonne) c.LarghezzaColonna(QString::fromLatin1(k.nome), k.larghezza);
    // The company's amount format, shown with Italian separators.
    for (const Colonna& k : kColonne)
        if (k.importo) c.FormatoColonna(QString::fromLatin1(k.nome), ctx().gsFmtImp);
}

void frmLiqIvaTestLis::FormattaSelezione(int Index) {
    QLineEdit* box = txt.value(Index);
    if (!box) return;
    // A number is shown as a whole number; anything else stays for the user to see.
    double n = 0;
    if (leggiNumeroItaliano(box->text().trimmed(), n)) box->setText(QString::number(static_cast<long long>(n)));
}
