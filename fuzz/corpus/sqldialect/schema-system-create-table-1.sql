-- System database qzsystem (attached to a SQLite account connection, a schema on PostgreSQL),
-- in SQL Server's dialect like every schema script. It knows the
-- accounts, their years and which subsystems each account year has enabled.

CREATE TABLE UA_Account (
    cAcc_Id     nchar(3)      NOT NULL PRIMARY KEY,
    cAcc_Name   nvarchar(120) NOT NULL,
    iYear       smallint      NOT NULL,   -- first year of the account
    cUnitName   nvarchar(120),
    dCreateDate datetime
);