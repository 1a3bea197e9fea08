-- Shared database of the suite: companies, stored texts, custom print fonts,
-- menu entries and the accounting firm acting as intermediary.
-- Text keys compare without regard to case (COLLATE NOCASE); on a PostgreSQL
-- server the program turns them into citext columns (ServerPg::SchemaPerServer),
-- whose LIKE is case-blind too.

CREATE TABLE Aziende (
    IdAzienda   VARCHAR(10) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Azienda     VARCHAR(10) COLLATE NOCASE,
    Descrizione VARCHAR(60),
    File        VARCHAR(255),
    AccPwd      VARCHAR(50)
);

CREATE TABLE Appoggio (
    Codice VARCHAR(20) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Descr1 VARCHAR(255), Memo1 TEXT,
    Descr2 VARCHAR(255), Memo2 TEXT,
    Descr3 VARCHAR(255), Memo3 TEXT,
    Descr4 VARCHAR(255), Memo4 TEXT,
    Descr5 VARCHAR(255), Memo5 TEXT,
    Long1 INTEGER, Long2 INTEGER, Long3 INTEGER
);

CREATE TABLE StaLasFontPers (
    Progressivo SMALLINT NOT NULL PRIMARY KEY,
    Nome        VARCHAR(60),
    Size        DOUBLE PRECISION,
    Bold        VARCHAR(2),
    Italic      VARCHAR(2),
    Strike      VARCHAR(2),
    Underline   VARCHAR(2)
);

CREATE TABLE MenuDett (
    Chiave    VARCHAR(50) COLLATE NOCASE NOT NULL,
    ChiaveSec VARCHAR(50) COLLATE NOCASE NOT NULL,
    Caption   VARCHAR(255),
    DescPrg   VARCHAR(255),
    PRIMARY KEY (Chiave, ChiaveSec)
);

CREATE TABLE TabStudio (
    CodFiscIntermediario VARCHAR(16),
    TabStuCampo3         VARCHAR(1),
    TabStuData1          DATE,
    FirmaInRicPres       VARCHAR(2)
);
