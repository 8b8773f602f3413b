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