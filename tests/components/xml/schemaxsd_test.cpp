// The last gate before a transmission file takes its final name: the schemas
// carried inside the program judge the file and name the first faulty element.
#include "components/xml/SchemaXsd.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace comiva;

namespace {

const char* kDte = R"(<?xml version="1.0" encoding="UTF-8"?>
<ns2:DatiFattura xmlns:ns2="http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v2.0" versione="DAT20">
<DTE>
<CedentePrestatoreDTE><IdentificativiFiscali><IdFiscaleIVA><IdPaese>IT</IdPaese><IdCodice>01234567890</IdCodice></IdFiscaleIVA></IdentificativiFiscali></CedentePrestatoreDTE>
<CessionarioCommittenteDTE><IdentificativiFiscali><IdFiscaleIVA><IdPaese>IT</IdPaese><IdCodice>09876543210</IdCodice></IdFiscaleIVA></IdentificativiFiscali>
<DatiFatturaBodyDTE><DatiGenerali><TipoDocumento>TD01</TipoDocumento><Data>2018-01-15</Data><Numero>1</Numero></DatiGenerali>
<DatiRiepilogo><ImponibileImporto>IMPONIBILE</ImponibileImporto><DatiIVA><Imposta>22.00</Imposta><Aliquota>ALIQUOTA</Aliquota></DatiIVA></DatiRiepilogo></DatiFatturaBodyDTE>
</CessionarioCommittenteDTE>
</DTE>
</ns2:DatiFattura>
)";

QString scrivi(const QTemporaryDir& dir, const QString& nome, QByteArray testo) {
    const QString percorso = dir.filePath(nome);
    QFile f(percorso);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(testo);
    return percorso;
}

QByteArray dte(const char* imponibile, const char* aliquota) {
    return QByteArray(kDte).replace("IMPONIBILE", imponibile).replace("ALIQUOTA", aliquota);
}

}  // namespace

TEST(SchemaXsd, NamesTheFirstFaultyElementAndItsValue) {
    QTemporaryDir dir;
    struct Caso {
        const char* imponibile;
        const char* aliquota;
        const char* elemento;  // "" when the file is valid
        const char* valore;
    };
    const Caso casi[] = {
        {"100.00", "22.00", "", ""},
        {"99999999999.99", "100.00", "", ""},
        {"123456789012.00", "22.00", "ImponibileImporto", "123456789012.00"},
        {"100.00", "100.01", "Aliquota", "100.01"},
        {"100.00", "-1.00", "Aliquota", "-1.00"},
        {"100.00", "1000.00", "Aliquota", "1000.00"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(std::string(c.imponibile) + " " + c.aliquota);
        const EsitoSchema e = ValidaSchema(scrivi(dir, QStringLiteral("f.xml"), dte(c.imponibile, c.aliquota)),
                                           SchemaTrasmissione::DatiFattura21);
        EXPECT_EQ(e.valido, *c.elemento == 0) << e.dettaglio.toStdString();
        EXPECT_EQ(e.elemento, QString::fromLatin1(c.elemento));
        if (*c.elemento) {
            EXPECT_EQ(e.valore, QString::fromLatin1(c.valore));
            EXPECT_EQ(e.riga, 7);
            EXPECT_TRUE(e.descrizione().contains(QString::fromLatin1(c.elemento)));
        }
    }
}

TEST(SchemaXsd, EachKindHasItsOwnSchema) {
    QTemporaryDir dir;
    const QString f = scrivi(dir, QStringLiteral("dte.xml"), dte("100.00", "22.00"));
    // 2.0 still requires the supplier's other identifiers, which 2.1 dropped.
    EXPECT_TRUE(ValidaSchema(f, SchemaTrasmissione::DatiFattura21).valido);
    const EsitoSchema e20 = ValidaSchema(f, SchemaTrasmissione::DatiFattura20);
    EXPECT_FALSE(e20.valido);
    EXPECT_EQ(e20.elemento, QStringLiteral("CedentePrestatoreDTE"));
    // The settlement schemas load (imports resolved inside the program) and
    // refuse a document of another kind by its root element.
    for (auto s : {SchemaTrasmissione::Ivp2017, SchemaTrasmissione::Ivp2018}) {
        const EsitoSchema e = ValidaSchema(f, s);
        EXPECT_FALSE(e.valido);
        EXPECT_EQ(e.elemento, QStringLiteral("DatiFattura")) << e.dettaglio.toStdString();
    }
}

TEST(SchemaXsd, AFileThatIsNoXmlOrMissingIsNotValid) {
    QTemporaryDir dir;
    const EsitoSchema troncato =
        ValidaSchema(scrivi(dir, QStringLiteral("t.xml"), dte("1.00", "22.00").left(300)), SchemaTrasmissione::DatiFattura21);
    EXPECT_FALSE(troncato.valido);
    EXPECT_FALSE(troncato.descrizione().isEmpty());
    EXPECT_FALSE(ValidaSchema(dir.filePath(QStringLiteral("manca.xml")), SchemaTrasmissione::DatiFattura21).valido);
}
