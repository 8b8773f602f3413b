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

CREATE TABLE UA_Account_Sub (
    cAcc_Id      nchar(3)     NOT NULL,
    iYear        smallint     NOT NULL,
    cSub_Id      nvarchar(2)  NOT NULL,   -- subsystem, e.g. 'AA' basics, 'CS' customer relations
    bClosing     bit          NOT NULL DEFAULT 0,
    iModiPeriod  tinyint      NOT NULL DEFAULT 0,
    dSubSysUsed  datetime,
    cUser_Id     nvarchar(20),
    dSubOriDate  datetime,
    PRIMARY KEY (cAcc_Id, iYear, cSub_Id)
);

CREATE TABLE UA_User (
    cUser_Id    nvarchar(20) NOT NULL PRIMARY KEY,
    cUser_Name  nvarchar(40) NOT NULL,
    bAdmin      bit          NOT NULL DEFAULT 0,
    cEmployeeId nvarchar(20),
    bDisabled   bit          NOT NULL DEFAULT 0
);

INSERT INTO UA_User (cUser_Id, cUser_Name, bAdmin) VALUES ('admin', N'系统管理员', 1);
