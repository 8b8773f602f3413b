-- Meta database QZMeta_<acc> (attached to a SQLite account connection under that name, the
-- schema qzmeta_<acc> on PostgreSQL), in SQL Server's dialect.
-- The column dictionary gives captions for the columns of an archive (ckey = table name in
-- lower case), in Chinese and English.

CREATE TABLE aa_columndic (
    ckey        nvarchar(50)  NOT NULL,
    cFieldName  nvarchar(60)  NOT NULL,
    cCaption    nvarchar(100) NOT NULL,
    cCaptionEn  nvarchar(100),
    iOrder      smallint      NOT NULL DEFAULT 0,
    cDataType   nvarchar(30),
    PRIMARY KEY (ckey, cFieldName)
);