-- Tables the invoice-data writer reads, for the tests until the company
-- schema holds them. Loaded after schema/azienda.sql; IF NOT EXISTS keeps
-- the schema's own tables when it has them.
CREATE TABLE IF NOT EXISTS Stati (
    Stato       VARCHAR(3) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Descrizione VARCHAR(50),
    Iso         VARCHAR(2) COLLATE NOCASE,
    Cee         VARCHAR(1) COLLATE NOCASE
);

CREATE TABLE IF NOT EXISTS PianoConti (
    Gruppo         VARCHAR(2) COLLATE NOCASE NOT NULL,
    Mastro         VARCHAR(2) COLLATE NOCASE NOT NULL,
    Conto          VARCHAR(6) COLLATE NOCASE NOT NULL,
    Descrizione    VARCHAR(60),
    RagSoc         VARCHAR(80),
    RagSoc2        VARCHAR(80),
    Cognome        VARCHAR(60),
    Nome           VARCHAR(60),
    StatoGiurid    VARCHAR(1) COLLATE NOCASE,
    PartIva        VARCHAR(28) COLLATE NOCASE,
    CodFisc        VARCHAR(16) COLLATE NOCASE,
    Indirizzo      VARCHAR(60),
    CAP            VARCHAR(10),
    Comune         VARCHAR(60),
    Localita       VARCHAR(60),
    Pr             VARCHAR(2) COLLATE NOCASE,
    Stato          VARCHAR(3) COLLATE NOCASE,
    CliForFittizio VARCHAR(1) COLLATE NOCASE,
    OperazRilev    VARCHAR(1) COLLATE NOCASE,
    BeneServizio   VARCHAR(1) COLLATE NOCASE,
    PRIMARY KEY (Gruppo, Mastro, Conto)
);

CREATE TABLE IF NOT EXISTS DatiFatTest (
    AnnoCom       SMALLINT NOT NULL,
    NumCom        SMALLINT NOT NULL,
    AnnoReg       SMALLINT NOT NULL,
    NumReg        INTEGER NOT NULL,
    NumCanc       SMALLINT NOT NULL DEFAULT 0,
    Tipo          VARCHAR(1) COLLATE NOCASE NOT NULL,
    Stato         VARCHAR(1) COLLATE NOCASE NOT NULL,
    NumInv        SMALLINT NOT NULL DEFAULT 0,
    Progr         INTEGER NOT NULL DEFAULT 0,
    GruppoPartita VARCHAR(2) COLLATE NOCASE,
    MastroPartita VARCHAR(2) COLLATE NOCASE,
    ContoPartita  VARCHAR(6) COLLATE NOCASE,
    TipoDocumento VARCHAR(4) COLLATE NOCASE,
    DataDoc       DATE,
    NumDoc        VARCHAR(30),
    DataReg       DATE,
    ImportoTotale DOUBLE PRECISION,
    NomeFile      VARCHAR(5),
    BollaDoganale VARCHAR(1) COLLATE NOCASE,
    PRIMARY KEY (AnnoCom, NumCom, AnnoReg, NumReg, NumCanc, Tipo, Stato)
);

CREATE TABLE IF NOT EXISTS DatiFatDett (
    AnnoCom           SMALLINT NOT NULL,
    NumCom            SMALLINT NOT NULL,
    AnnoReg           SMALLINT NOT NULL,
    NumReg            INTEGER NOT NULL,
    NumCanc           SMALLINT NOT NULL DEFAULT 0,
    Tipo              VARCHAR(1) COLLATE NOCASE NOT NULL,
    Stato             VARCHAR(1) COLLATE NOCASE NOT NULL,
    NumDet            SMALLINT NOT NULL,
    Aliquota          DOUBLE PRECISION,
    Natura            VARCHAR(5) COLLATE NOCASE,
    ImponibileImporto DOUBLE PRECISION,
    Imposta           DOUBLE PRECISION,
    EsigibilitaIva    VARCHAR(1) COLLATE NOCASE,
    Detraibile        DOUBLE PRECISION,
    Deducibile        VARCHAR(1) COLLATE NOCASE,
    PRIMARY KEY (AnnoCom, NumCom, AnnoReg, NumReg, NumCanc, Tipo, Stato, NumDet)
);
