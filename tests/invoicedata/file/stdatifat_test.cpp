// The invoice-data file written from the communication tables, judged by both
// published schemas: counterparty identities, documents and summaries, the
// lists, and the files a run must never call complete.
#include "supporto_datifat.h"

using namespace datifat;

namespace {

struct CasoDatiFat {
    const char* nome;
    const char* tipo = "E";
    Colonne conto;           // changes to the base account 04-10-000001
    Colonne testata;         // changes to the registration
    QList<Colonne> righe{{}};  // changes to its lines 1, 2, ...
    bool estraiAnag = true;
    const char* estraiCodFisc = "N";
    const char* estraiZero = "S";
    bool valido = true;      // under both schemas, and the run says so
    QStringList presenti;    // lines of the file (indentation removed)
    QStringList assenti;     // texts that must not be in the file
    QStringList mancanti;    // texts of the missing-fields list
    QStringList segnalazioni;
};

const CasoDatiFat kCasi[] = {
    {.nome = "Italian client with VAT number: IdFiscaleIVA, name, seat, document and summary",
     .presenti = {"<IdPaese>IT</IdPaese>", "<IdCodice>01234567897</IdCodice>", "<Denominazione>ROSSI SRL</Denominazione>",
                  "<CAP>20100</CAP>", "<Provincia>MI</Provincia>", "<Nazione>IT</Nazione>", "<TipoDocumento>TD01</TipoDocumento>",
                  "<Data>2017-03-05</Data>", "<Numero>1/A</Numero>", "<ImponibileImporto>100.00</ImponibileImporto>",
                  "<Imposta>22.00</Imposta>", "<Aliquota>22.00</Aliquota>", "<EsigibilitaIVA>I</EsigibilitaIVA>"},
     .assenti = {"DataRegistrazione", "<Natura>", "<Detraibile>", "<Deducibile>"}},
    {.nome = "tax code beside the VAT number only with the option and a valid code",
     .conto = {{"CodFisc", "rssmra80a01h501u"}}, .estraiCodFisc = "S",
     .presenti = {"<CodiceFiscale>RSSMRA80A01H501U</CodiceFiscale>"}},
    {.nome = "a continuation of a foreign VAT number is never written as a tax code",
     .conto = {{"Stato", "GBR"}, {"PartIva", "GB123"}, {"CodFisc", "-456"}}, .estraiCodFisc = "S",
     .presenti = {"<IdPaese>GB</IdPaese>", "<IdCodice>123456</IdCodice>"}, .assenti = {"<CodiceFiscale>", "<CAP>", "<Provincia>"}},
    {.nome = "private person with a tax code only",
     .conto = {{"PartIva", ""}, {"CodFisc", "RSSMRA80A01H501U"}, {"StatoGiurid", "F"}, {"Cognome", "Rossi"},
               {"Nome", "Mario"}},
     .presenti = {"<CodiceFiscale>RSSMRA80A01H501U</CodiceFiscale>", "<Nome>MARIO</Nome>", "<Cognome>ROSSI</Cognome>"},
     .assenti = {"<IdFiscaleIVA>"}},
    {.nome = "body with a numeric tax code in the VAT field",
     .conto = {{"PartIva", "80012345678"}},
     .presenti = {"<CodiceFiscale>80012345678</CodiceFiscale>"}, .assenti = {"<IdFiscaleIVA>"}},
    {.nome = "Italian client without identifiers: valid, listed",
     .conto = {{"PartIva", ""}, {"CodFisc", ""}},
     .assenti = {"<IdFiscaleIVA>", "<CodiceFiscale>"},
     .mancanti = {"CodiceFiscale Cliente: 04-10-000001 cliente senza identificativi"}},
    {.nome = "Italian client with a short tax code: a file that must not be sent",
     .conto = {{"PartIva", ""}, {"CodFisc", "RSSMRA80"}}, .valido = false,
     .segnalazioni = {"CodiceFiscale Cliente: 04-10-000001 non valido"}},
    {.nome = "EU client without VAT number, legal person",
     .conto = {{"Stato", "DEU"}, {"PartIva", ""}, {"Descrizione", "Mueller GmbH"}},
     .presenti = {"<IdPaese>DE</IdPaese>", "<IdCodice>MUELLER GMBH</IdCodice>"},
     .segnalazioni = {"Cliente 04-10-000001 intracomunitario senza dati fiscali"}},
    {.nome = "non-EU client without VAT number",
     .conto = {{"Stato", "USA"}, {"PartIva", ""}, {"StatoGiurid", "F"}},
     .segnalazioni = {"Cliente 04-10-000001 messa ragione sociale contabile nei dati fiscali - non bloccante"}},
    {.nome = "a country code of three letters: reported, not sent",
     .conto = {{"Stato", "XXX"}}, .valido = false, .segnalazioni = {"IdPaese Cliente: 04-10-000001 non valido"}},
    {.nome = "postcode and province outside the schema's patterns are left out",
     .conto = {{"CAP", "2010"}, {"Pr", "M"}},
     .assenti = {"<CAP>", "<Provincia>"},
     .segnalazioni = {"CAP Cliente: 04-10-000001 non valido", "Provincia Cliente: 04-10-000001 non valido"}},
    {.nome = "without names and seat for clients when the option is off",
     .estraiAnag = false, .assenti = {"<AltriDatiIdentificativi>", "<Sede>"}},
    {.nome = "permanent establishment and fiscal representative",
     .conto = {{"FAStabOrgIndir", "Via Po 2"}, {"FAStabOrgCap", "10100"}, {"FAStabOrgComune", "Torino"},
               {"FAStabOrgPr", "TO"}, {"FAStabOrgStato", "ITA"}, {"FARappFiscCodIdFisc", "IT09876543210"},
               {"FARappFiscRagSoc", "Bianchi-Luca"}, {"FARappFiscStato", "ITA"}},
     .presenti = {"<StabileOrganizzazione>", "<Comune>TORINO</Comune>", "<RappresentanteFiscale>",
                  "<IdCodice>09876543210</IdCodice>", "<Nome>LUCA</Nome>", "<Cognome>BIANCHI</Cognome>"}},
    {.nome = "an establishment without postcode: a file that must not be sent",
     .conto = {{"FAStabOrgIndir", "Via Po 2"}, {"FAStabOrgComune", "Torino"}}, .valido = false,
     .mancanti = {"CAP StabileOrganizzazione Cliente: 04-10-000001"}},
    {.nome = "Italian supplier with VAT number: DataRegistrazione after Numero",
     .tipo = "R",
     .presenti = {"<DTR>", "<CessionarioCommittenteDTR>", "<CedentePrestatoreDTR>", "<DataRegistrazione>2017-03-06</DataRegistrazione>"}},
    {.nome = "supplier names and seat are written even without the option",
     .tipo = "R", .estraiAnag = false, .presenti = {"<AltriDatiIdentificativi>", "<Denominazione>ROSSI SRL</Denominazione>"}},
    {.nome = "customs bill on an Italian account",
     .tipo = "R", .testata = {{"BollaDoganale", "S"}},
     .presenti = {"<IdPaese>OO</IdPaese>", "<IdCodice>99999999999</IdCodice>", "<Denominazione>DATO ASSENTE</Denominazione>",
                  "<Nazione>OO</Nazione>"},
     .segnalazioni = {"Registrazione 2017/1: bolletta doganale senza fornitore straniero"}},
    {.nome = "foreign supplier without VAT number",
     .tipo = "R", .conto = {{"Stato", "USA"}, {"PartIva", ""}},
     .presenti = {"<IdCodice>DATO ASSENTE</IdCodice>"},
     .segnalazioni = {"Fornitore 04-10-000001 senza dati fiscali"}},
    {.nome = "Italian supplier without VAT number: IdCodice missing, not sent",
     .tipo = "R", .conto = {{"PartIva", ""}, {"CodFisc", "RSSMRA80A01H501U"}}, .valido = false,
     .mancanti = {"IdCodice Fornitore: 04-10-000001"}},
    {.nome = "credit note with negative amounts, nature and collectability",
     .testata = {{"TipoDocumento", "TD04"}},
     .righe = {{{"ImponibileImporto", -150.0}, {"Imposta", 0.0}, {"Aliquota", 0.0}, {"Natura", "n2.1"},
                {"EsigibilitaIva", "s"}, {"Detraibile", 50.0}, {"Deducibile", "S"}}},
     .presenti = {"<TipoDocumento>TD04</TipoDocumento>", "<ImponibileImporto>-150.00</ImponibileImporto>",
                  "<Aliquota>0.00</Aliquota>", "<Natura>N2</Natura>", "<Detraibile>50.00</Detraibile>",
                  "<Deducibile>SI</Deducibile>", "<EsigibilitaIVA>S</EsigibilitaIVA>"}},
    {.nome = "a nature outside N1-N7 is reported and left out",
     .righe = {{{"Natura", "N8"}, {"Aliquota", 0.0}, {"Imposta", 0.0}}}, .assenti = {"<Natura>"},
     .segnalazioni = {"Natura Cliente: 04-10-000001 PN: 2017-1 riga: 1 non valida: N8"}},
    {.nome = "three lines: one document with three summaries",
     .righe = {{}, {{"Aliquota", 10.0}, {"Imposta", 10.0}}, {{"Aliquota", 4.0}, {"Imposta", 4.0}}},
     .presenti = {"<Aliquota>10.00</Aliquota>", "<Aliquota>4.00</Aliquota>"}},
    {.nome = "names: escaping, typographic characters, accents; the number in Basic Latin",
     .conto = {{"RagSoc", QStringLiteral("L’Ottica & C. “Più” €")}},
     .testata = {{"NumDoc", QStringLiteral("N° 12")}},
     .presenti = {"<Denominazione>L&apos;OTTICA &amp; C. &quot;PI&#217;&quot; EUR</Denominazione>", "<Numero>N_ 12</Numero>"},
     .segnalazioni = {"Numero Cliente: 04-10-000001 caratteri non ammessi sostituiti da _"}},
    {.nome = "a literal \"&#\" in a name is escaped",
     .conto = {{"RagSoc", "R&#D SRL"}}, .presenti = {"<Denominazione>R&amp;#D SRL</Denominazione>"}},
    {.nome = "a long document number is cut to 20 and listed",
     .testata = {{"NumDoc", "123456789012345678901234"}},
     .presenti = {"<Numero>12345678901234567890</Numero>"},
     .segnalazioni = {"Numero Documento Cliente: 04-10-000001 troncato"}},
    {.nome = "zero line written with EstraiZero S",
     .righe = {{{"ImponibileImporto", 0.0}, {"Imposta", 0.0}}},
     .presenti = {"<ImponibileImporto>0.00</ImponibileImporto>"}},
    {.nome = "a registration of zero lines only with EstraiZero N is left out: no file to send",
     .righe = {{{"ImponibileImporto", 0.0}, {"Imposta", 0.0}}}, .estraiZero = "N", .valido = false,
     .assenti = {"<DatiFatturaBodyDTE>", "<CessionarioCommittenteDTE>"},
     .segnalazioni = {" Cliente: 04-10-000001 PN: 2017-1 riga: 1: Riga non estratta per imponibile e imposta a 0",
                      "Registrazione 2017/1: nessuna riga estratta, documento non inviato"}},
    // Amounts and rates outside the schema's types, told with the value and
    // the registration before the schema would refuse the file.
    {.nome = "taxable amount of 12 integer digits",
     .righe = {{{"ImponibileImporto", 123456789012.0}}}, .valido = false,
     .segnalazioni = {"Registrazione 2017/1: ImponibileImporto 123.456.789.012,00 oltre le 11 cifre intere ammesse"}},
    {.nome = "tax of 12 integer digits, negative",
     .righe = {{{"Imposta", -100000000000.0}}}, .valido = false,
     .segnalazioni = {"Registrazione 2017/1: Imposta -100.000.000.000,00 oltre le 11 cifre intere ammesse"}},
    {.nome = "11 integer digits are still an amount",
     .righe = {{{"ImponibileImporto", 99999999999.99}}}, .presenti = {"<ImponibileImporto>99999999999.99</ImponibileImporto>"}},
    {.nome = "rate just above 100", .righe = {{{"Aliquota", 100.01}}}, .valido = false,
     .segnalazioni = {"Registrazione 2017/1: Aliquota 100,01 fuori dall'intervallo da 0 a 100"}},
    {.nome = "rate of 150", .righe = {{{"Aliquota", 150.0}}}, .valido = false,
     .segnalazioni = {"Registrazione 2017/1: Aliquota 150,00 fuori dall'intervallo da 0 a 100"}},
    {.nome = "negative rate", .righe = {{{"Aliquota", -1.0}}}, .valido = false,
     .segnalazioni = {"Registrazione 2017/1: Aliquota -1,00 fuori dall'intervallo da 0 a 100"}},
    {.nome = "rate of 1000", .righe = {{{"Aliquota", 1000.0}}}, .valido = false,
     .segnalazioni = {"Registrazione 2017/1: Aliquota 1.000,00 fuori dall'intervallo da 0 a 100"}},
    {.nome = "rate of 100 is still a rate", .righe = {{{"Aliquota", 100.0}}}, .presenti = {"<Aliquota>100.00</Aliquota>"}},
};

TEST(StDatiFatCasi, EachCounterpartyAndDocumentCaseAgainstBothSchemas) {
    for (const CasoDatiFat& c : kCasi) {
        SCOPED_TRACE(c.nome);
        AmbienteDatiFat a;
        const QString tipo = QString::fromLatin1(c.tipo);
        a.menu->ImpostaParPers(QStringLiteral("DatiFat"), QStringLiteral("EstraiCodFisc"), c.estraiCodFisc);
        a.menu->ImpostaParPers(QStringLiteral("DatiFat"), QStringLiteral("EstraiZero"), c.estraiZero);
        a.Conto(unisci(conto(QStringLiteral("000001")), c.conto));
        QList<Colonne> dettagli;
        for (int i = 0; i < c.righe.size(); ++i) dettagli << riga(tipo, 1, i + 1, c.righe[i]);
        a.Registrazione(testata(tipo, 1, QStringLiteral("000001"), c.testata), dettagli);
        a.st.osCosaEstr = tipo;
        a.st.obEstraiAnag = c.estraiAnag;
        a.st.AvviaStampa();

        const QString nome = QStringLiteral("IT01234567897_DF_172%1_Prova.xml").arg(tipo + QLatin1Char('1'));
        // A file that must not be sent never takes its final name.
        EXPECT_EQ(c.valido, QFile::exists(a.Percorso(nome)));
        const QString file = a.Percorso(nome) + (c.valido ? QString() : kSuffissoIncompleto);
        ASSERT_TRUE(QFile::exists(file)) << a.FileInCartella().join(QLatin1Char(' ')).toStdString();
        const QString e20 = esito20(file), e21 = esito21(file);
        EXPECT_EQ(c.valido, e20.isEmpty() && e21.isEmpty()) << e20.toStdString() << e21.toStdString();
        EXPECT_EQ(c.valido, !a.st.NonInviabile());
        EXPECT_EQ(c.valido ? 0 : 1, a.st.oiErrore);
        if (!c.valido)
            EXPECT_TRUE(a.Messaggi().join(QLatin1Char('|')).contains(QStringLiteral("non deve essere inviato")));
        const QByteArray testo = leggi(file);
        const QStringList linee = righe(testo);
        for (const QString& p : c.presenti) EXPECT_TRUE(linee.contains(p)) << p.toStdString() << "\n" << testo.toStdString();
        // Absent texts are looked for after the company's own identity.
        const QByteArray fineDitta = tipo == QLatin1String("E") ? "</CedentePrestatoreDTE>" : "</CessionarioCommittenteDTR>";
        const QByteArray corpo = testo.mid(testo.indexOf(fineDitta));
        for (const QString& p : c.assenti) EXPECT_FALSE(corpo.contains(p.toLatin1())) << p.toStdString();
        for (const QString& m : c.mancanti)
            EXPECT_TRUE(a.st.CampiMancanti().contains(QStringLiteral("\r\n") + m)) << m.toStdString() << " in "
                                                                                    << a.st.CampiMancanti().toStdString();
        for (const QString& s : c.segnalazioni)
            EXPECT_TRUE(a.st.Segnalazioni().contains(QStringLiteral("\r\n") + s)) << s.toStdString() << " in "
                                                                                  << a.st.Segnalazioni().toStdString();
        EXPECT_EQ(0, a.contesto->giStaAtt);
        EXPECT_FALSE(a.st.obStaAtt);
    }
}

TEST(StDatiFat, WholeFileLayoutWithIndentationAndCrLf) {
    AmbienteDatiFat a;
    a.st.osCfDichiarante = QStringLiteral(" rssmra80a01h501u ");
    a.st.osCodiceCaricaDichiarante = QStringLiteral("01");
    a.Conto(conto(QStringLiteral("000001")));
    a.Semplice(QStringLiteral("E"), 1, QStringLiteral("000001"));
    a.st.AvviaStampa();
    const QByteArray atteso =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<ns2:DatiFattura versione=\"DAT20\" xmlns:ns2=\"http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v2.0\">\r\n"
        "<DatiFatturaHeader>\r\n\t<ProgressivoInvio>172E1</ProgressivoInvio>\r\n\t<Dichiarante>\r\n"
        "\t\t<CodiceFiscale>RSSMRA80A01H501U</CodiceFiscale>\r\n\t\t<Carica>1</Carica>\r\n\t</Dichiarante>\r\n"
        "</DatiFatturaHeader>\r\n"
        "<DTE>\r\n\t<CedentePrestatoreDTE>\r\n\t\t<IdentificativiFiscali>\r\n\t\t\t<IdFiscaleIVA>\r\n"
        "\t\t\t\t<IdPaese>IT</IdPaese>\r\n\t\t\t\t<IdCodice>01234567897</IdCodice>\r\n\t\t\t</IdFiscaleIVA>\r\n"
        "\t\t</IdentificativiFiscali>\r\n"
        "\t\t<AltriDatiIdentificativi>\r\n\t\t\t<Denominazione>DITTA DI PROVA SRL</Denominazione>\r\n"
        "\t\t</AltriDatiIdentificativi>\r\n\t</CedentePrestatoreDTE>\r\n"
        "\t<CessionarioCommittenteDTE>\r\n\t\t<IdentificativiFiscali>\r\n\t\t\t<IdFiscaleIVA>\r\n"
        "\t\t\t\t<IdPaese>IT</IdPaese>\r\n\t\t\t\t<IdCodice>01234567897</IdCodice>\r\n\t\t\t</IdFiscaleIVA>\r\n"
        "\t\t</IdentificativiFiscali>\r\n\t\t<AltriDatiIdentificativi>\r\n"
        "\t\t\t<Denominazione>ROSSI SRL</Denominazione>\r\n\t\t\t<Sede>\r\n\t\t\t\t<Indirizzo>VIA ROMA 1</Indirizzo>\r\n"
        "\t\t\t\t<CAP>20100</CAP>\r\n\t\t\t\t<Comune>MILANO</Comune>\r\n\t\t\t\t<Provincia>MI</Provincia>\r\n"
        "\t\t\t\t<Nazione>IT</Nazione>\r\n\t\t\t</Sede>\r\n\t\t</AltriDatiIdentificativi>\r\n"
        "\t\t<DatiFatturaBodyDTE>\r\n\t\t\t<DatiGenerali>\r\n\t\t\t\t<TipoDocumento>TD01</TipoDocumento>\r\n"
        "\t\t\t\t<Data>2017-03-05</Data>\r\n\t\t\t\t<Numero>1/A</Numero>\r\n\t\t\t</DatiGenerali>\r\n"
        "\t\t\t<DatiRiepilogo>\r\n\t\t\t\t<ImponibileImporto>100.00</ImponibileImporto>\r\n\t\t\t\t<DatiIVA>\r\n"
        "\t\t\t\t\t<Imposta>22.00</Imposta>\r\n\t\t\t\t\t<Aliquota>22.00</Aliquota>\r\n\t\t\t\t</DatiIVA>\r\n"
        "\t\t\t\t<EsigibilitaIVA>I</EsigibilitaIVA>\r\n\t\t\t</DatiRiepilogo>\r\n"
        "\t\t</DatiFatturaBodyDTE>\r\n\t</CessionarioCommittenteDTE>\r\n</DTE>\r\n</ns2:DatiFattura>\r\n";
    const QString file = a.Percorso(QStringLiteral("IT01234567897_DF_172E1_Prova.xml"));
    EXPECT_EQ(atteso, leggi(file));
    EXPECT_EQ(QString(), esito20(file));
    EXPECT_EQ(QString(), esito21(file));
    EXPECT_EQ(0, a.st.oiErrore);
    EXPECT_TRUE(a.Messaggi().isEmpty()) << a.Messaggi().join(QLatin1Char('|')).toStdString();
}

TEST(StDatiFat, DeclarantLeftOutUnlessTaxCodeAndOfficeCodeAreValid) {
    struct Caso {
        const char* nome;
        const char* cf;
        const char* carica;
        bool scritto;
    } casi[] = {{"office code 00", "RSSMRA80A01H501U", "00", false},
                {"empty office code", "RSSMRA80A01H501U", "", false},
                {"office code 16", "RSSMRA80A01H501U", "16", false},
                {"tax code of 9 characters", "RSSMRA80A", "1", false},
                {"office code 15", "RSSMRA80A01H501U", "15", true}};
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        AmbienteDatiFat a;
        a.st.osCfDichiarante = QString::fromLatin1(c.cf);
        a.st.osCodiceCaricaDichiarante = QString::fromLatin1(c.carica);
        a.Conto(conto(QStringLiteral("000001")));
        a.Semplice(QStringLiteral("E"), 1, QStringLiteral("000001"));
        a.st.AvviaStampa();
        const QString file = a.Percorso(QStringLiteral("IT01234567897_DF_172E1_Prova.xml"));
        EXPECT_EQ(c.scritto, leggi(file).contains("<Dichiarante>"));
        EXPECT_EQ(!c.scritto, a.st.Segnalazioni().contains(QStringLiteral("\r\nDichiarante non valido")));
        EXPECT_EQ(QString(), esito20(file));
        EXPECT_EQ(QString(), esito21(file));
    }
}

TEST(StDatiFat, OwnIdentityOfAPersonAndTheOwnVatNumberWithoutPrefix) {
    AmbienteDatiFat a;
    a.st.osCosaEstr = QStringLiteral("R");
    a.st.osStatoGiurid = QStringLiteral("F");
    a.st.osCognome = QStringLiteral("Verdi");
    a.st.osNome = QStringLiteral("Anna");
    a.st.osPartitaIvaDitta = QStringLiteral("IT 01234567897");
    a.st.osCodiceFiscaleDitta = QStringLiteral("VRDNNA80A41H501X");
    a.Conto(conto(QStringLiteral("000001")));
    a.Semplice(QStringLiteral("R"), 1, QStringLiteral("000001"));
    a.st.AvviaStampa();
    const QString file = a.Percorso(QStringLiteral("ITVRDNNA80A41H501X_DF_172R1_Prova.xml"));
    const QStringList l = righe(leggi(file));
    const qsizetype nome = l.indexOf(QStringLiteral("<Nome>ANNA</Nome>"));
    EXPECT_GE(nome, 0);
    EXPECT_EQ(QStringLiteral("<Cognome>VERDI</Cognome>"), l.value(nome + 1));
    EXPECT_TRUE(l.contains(QStringLiteral("<IdCodice>01234567897</IdCodice>")));
    EXPECT_EQ(QString(), esito20(file));
    EXPECT_EQ(QString(), esito21(file));
}

TEST(StDatiFat, ACompanyWithoutAValidVatNumberIsRefusedAndNoFileIsWritten) {
    for (const char* partIva : {"", "0123456789"}) {
        SCOPED_TRACE(partIva);
        AmbienteDatiFat a;
        a.st.osPartitaIvaDitta = QString::fromLatin1(partIva);
        a.Conto(conto(QStringLiteral("000001")));
        a.Semplice(QStringLiteral("E"), 1, QStringLiteral("000001"));
        a.st.AvviaStampa();
        EXPECT_EQ(1, a.st.oiErrore);
        EXPECT_TRUE(a.FileInCartella().isEmpty());
        ASSERT_EQ(1, a.Messaggi().size());
        EXPECT_TRUE(a.Messaggi()[0].contains(QStringLiteral("il file dei dati fatture non può essere scritto")));
    }
}

TEST(StDatiFat, DocumentTypesOutsideTheSchemaAreRefusedAndReported) {
    AmbienteDatiFat a;
    a.Conto(conto(QStringLiteral("000001")));
    a.Registrazione(testata(QStringLiteral("E"), 1, QStringLiteral("000001"), {{"TipoDocumento", "TD24"}}),
                    {riga(QStringLiteral("E"), 1, 1)});
    a.Semplice(QStringLiteral("E"), 2, QStringLiteral("000001"));
    a.st.AvviaStampa();
    const QString file = a.Percorso(QStringLiteral("IT01234567897_DF_172E1_Prova.xml"));
    const QByteArray testo = leggi(file);
    EXPECT_FALSE(testo.contains("TD24"));
    EXPECT_EQ(1, testo.count("<DatiFatturaBodyDTE>"));
    EXPECT_TRUE(a.st.Segnalazioni().contains(
        QStringLiteral("\r\nRegistrazione 2017/1: tipo documento TD24 non ammesso nel file, documento non inviato")));
    EXPECT_EQ(QString(), esito20(file));
    EXPECT_EQ(QString(), esito21(file));
    EXPECT_EQ(0, a.st.oiErrore);
}

TEST(StDatiFat, RegistrationsOfTwoYearsWithTheSameNumberStayApart) {
    AmbienteDatiFat a;
    a.Conto(conto(QStringLiteral("000001")));
    a.Registrazione(testata(QStringLiteral("E"), 7, QStringLiteral("000001"), {{"AnnoReg", 2016}, {"NumDoc", "A"}}),
                    {riga(QStringLiteral("E"), 7, 1, {{"AnnoReg", 2016}}), riga(QStringLiteral("E"), 7, 2, {{"AnnoReg", 2016}})});
    a.Registrazione(testata(QStringLiteral("E"), 7, QStringLiteral("000001"), {{"NumDoc", "B"}}),
                    {riga(QStringLiteral("E"), 7, 1), riga(QStringLiteral("E"), 7, 2)});
    a.st.AvviaStampa();
    const QByteArray testo = leggi(a.Percorso(QStringLiteral("IT01234567897_DF_172E1_Prova.xml")));
    EXPECT_EQ(2, testo.count("<DatiFatturaBodyDTE>"));
    EXPECT_EQ(4, testo.count("<DatiRiepilogo>"));
}

TEST(StDatiFat, MultiCompanyRunPrefixesEveryListEntry) {
    AmbienteDatiFat a;
    a.st.obUnicaAzie = false;
    a.Conto(unisci(conto(QStringLiteral("000001")), {{"CAP", "1"}}));
    a.Semplice(QStringLiteral("E"), 1, QStringLiteral("000001"));
    a.st.AvviaStampa();
    EXPECT_EQ(QStringLiteral("\r\nAzienda 01: CAP Cliente: 04-10-000001 non valido"), a.st.Segnalazioni());
    ASSERT_EQ(1, a.Messaggi().size());
    EXPECT_EQ(QStringLiteral("Segnalazioni di errore \r\nAzienda 01: CAP Cliente: 04-10-000001 non valido"),
              a.Messaggi()[0]);
}

TEST(StDatiFat, NoRowsMakeNoFile) {
    AmbienteDatiFat a;
    a.st.AvviaStampa();
    EXPECT_EQ(0, a.st.oiErrore);
    EXPECT_FALSE(a.st.obStampato);
    EXPECT_TRUE(a.FileInCartella().isEmpty());
}

TEST(StDatiFat, ReprocessingNamesTheFileAfterTheResentSend) {
    AmbienteDatiFat a;
    a.Conto(conto(QStringLiteral("000001")));
    a.Registrazione(testata(QStringLiteral("E"), 1, QStringLiteral("000001"), {{"NumInv", 3}, {"Stato", "C"}}),
                    {riga(QStringLiteral("E"), 1, 1, {{"Stato", "C"}})});
    a.st.oiTipoSta = 2;
    a.st.oiIdentif = 3;
    a.st.oiNumInvio = 9;
    a.st.AvviaStampa();
    EXPECT_EQ(QStringList{QStringLiteral("IT01234567897_DF_172E3.xml")}, a.FileInCartella());
    EXPECT_EQ(QStringLiteral("3"), a.Colonna(1, QStringLiteral("NumInv")).testo());
}

}  // namespace
