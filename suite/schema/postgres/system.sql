-- System database qzsystem: the schema qzsystem, in every connection's search path. It knows the
-- accounts, their years and which subsystems each account year has enabled.

CREATE TABLE UA_Account (
    cAcc_Id     char(3)      NOT NULL PRIMARY KEY,
    cAcc_Name   varchar(120) NOT NULL,
    iYear       smallint      NOT NULL,   -- first year of the account
    cUnitName   varchar(120),
    dCreateDate timestamp(3)
);

CREATE TABLE UA_Account_Sub (
    cAcc_Id      char(3)     NOT NULL,
    iYear        smallint     NOT NULL,
    cSub_Id      varchar(2)  NOT NULL,   -- subsystem, e.g. 'AA' basics, 'CS' customer relations
    bClosing     flag          NOT NULL DEFAULT 0,
    iModiPeriod  tinyint      NOT NULL DEFAULT 0,
    dSubSysUsed  timestamp(3),
    cUser_Id     varchar(20),
    dSubOriDate  timestamp(3),
    PRIMARY KEY (cAcc_Id, iYear, cSub_Id)
);

CREATE TABLE UA_User (
    cUser_Id    varchar(20) NOT NULL PRIMARY KEY,
    cUser_Name  varchar(40) NOT NULL,
    bAdmin      flag          NOT NULL DEFAULT 0,
    cEmployeeId varchar(20),
    bDisabled   flag          NOT NULL DEFAULT 0
);

INSERT INTO UA_User (cUser_Id, cUser_Name, bAdmin) VALUES ('admin', '系统管理员', 1);
