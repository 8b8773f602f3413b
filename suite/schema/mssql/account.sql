-- Account database QZDATA_<acc>_<year>, in SQL Server's dialect: the installer translates it for
-- each backend (the main database of a SQLite connection, a schema on PostgreSQL). Columns carry
-- the suite's SQL Server types; the data layer derives type codes and defined sizes from them, so
-- keep them exact. Every table has a primary key because updatable recordsets write their
-- changes keyed by it. A timestamp column gets its row-version counter and triggers from the
-- translation; what only one backend needs is in <backend>/account-backend.sql.

-- Contacts -----------------------------------------------------------------------------------

CREATE TABLE Crm_Contact (
    OID           nvarchar(100) NOT NULL PRIMARY KEY DEFAULT ('{' + lower(newid()) + '}'),
    cContactCode  nvarchar(60)  NOT NULL UNIQUE,
    cContactName  nvarchar(60),
    cCusCode      nvarchar(20),
    cAppellation  nvarchar(60),
    bcSexID       int,
    bcMarriageID  int,
    bcDutyID      nvarchar(60),
    bcTasteID     nvarchar(60),
    dBirthday     datetime,
    cNative       nvarchar(60),
    cSuperiorID   nvarchar(60),
    cPrincipal    nvarchar(20),
    cConDepart    nvarchar(12),
    cMobilePhone  nvarchar(100),
    cOfficePhone  nvarchar(100),
    cHomePhone    nvarchar(100),
    cCall         nvarchar(100),
    cEmail        nvarchar(100),
    cHomePage     nvarchar(100),
    cWorkAddress  nvarchar(255),
    cZipcode      nvarchar(20),
    cHomeAddress  nvarchar(255),
    cWechat       nvarchar(100),
    cHomeMember   nvarchar(255),
    bMajor        bit           NOT NULL DEFAULT 0,
    cMemo         nvarchar(255),
    dConEDate     datetime,
    cConDefine1   nvarchar(120),
    cConDefine2   nvarchar(120),
    cConDefine3   nvarchar(120),
    cConDefine4   nvarchar(120),
    cConDefine5   nvarchar(120),
    cConDefine6   nvarchar(120),
    cConDefine7   nvarchar(120),
    cConDefine8   nvarchar(120),
    cConDefine9   nvarchar(120),
    cConDefine10  nvarchar(120),
    cConDefine11  int,
    cConDefine12  int,
    cConDefine13  float,
    cConDefine14  float,
    cConDefine15  datetime,
    cConDefine16  datetime,
    bDefaultCon   bit           NOT NULL DEFAULT 0,
    PictureGUID   nvarchar(100),
    dCreateDate   datetime,
    cCreator      nvarchar(40),
    dModifyDate   datetime,
    cRevisor      nvarchar(40),
    qzts          timestamp
);
CREATE INDEX ix_Crm_Contact_cCusCode ON Crm_Contact (cCusCode);
CREATE INDEX ix_Crm_Contact_cSuperiorID ON Crm_Contact (cSuperiorID);


-- Extension fields, one row per contact. Columns from the third on are the extension items
-- declared in userdef ("扩展自定义项n" -> cLDefine<n>).
CREATE TABLE Crm_Contact_extradefine (
    OID           nvarchar(100) NOT NULL PRIMARY KEY,
    cContactCode  nvarchar(60),
    cLDefine1     nvarchar(120),
    cLDefine2     nvarchar(120),
    cLDefine3     nvarchar(120),
    cLDefine4     nvarchar(120),
    cLDefine5     nvarchar(120),
    cLDefine6     nvarchar(120),
    cLDefine7     nvarchar(120),
    cLDefine8     nvarchar(120),
    cLDefine9     decimal(28,6),
    cLDefine10    datetime
);
CREATE INDEX ix_Crm_Contact_extradefine_code ON Crm_Contact_extradefine (cContactCode);

-- Related persons of a contact: the users and employees who share it.
CREATE TABLE crm_contact_User (
    Contact_Id    nvarchar(60)  NOT NULL,
    User_Id       nvarchar(20)  NOT NULL,
    iUserType     tinyint       NOT NULL DEFAULT 0,  -- 0 operator, 1 employee
    iRight        tinyint       NOT NULL DEFAULT 1,  -- 1 may change the contact, 0 reads only
    PRIMARY KEY (Contact_Id, User_Id)
);

-- Data-authorization dimensions granted on a contact: Privilege_Type 0 is the department,
-- any other value an authorization-dimension type (AA_AuthDimen_Type.iADTID).
CREATE TABLE crm_contact_Auth (
    Contact_Id     nvarchar(60) NOT NULL,
    Privilege_Type int          NOT NULL,
    Privilege_ID   nvarchar(50) NOT NULL,
    PRIMARY KEY (Contact_Id, Privilege_Type, Privilege_ID)
);


CREATE TABLE Crm_BaseCode (
    ID     int          IDENTITY PRIMARY KEY,
    cCode  nvarchar(20),
    cType  nvarchar(20) NOT NULL,
    cName  nvarchar(60) NOT NULL,
    bEdit  bit          NOT NULL DEFAULT 1,
    -- stamped by the save steps like every archive row
    dCreateDate datetime,
    cCreator    nvarchar(40),
    dModifyDate datetime,
    cRevisor    nvarchar(40),
    UNIQUE (cType, cName)
);

-- Archives the contact refers to ------------------------------------------------------------

CREATE TABLE Customer (
    cCusCode         nvarchar(20)  NOT NULL PRIMARY KEY,
    iId              int           NOT NULL UNIQUE,
    cCusName         nvarchar(98)  NOT NULL,
    cCusAbbName      nvarchar(60),
    cCCCode          nvarchar(12),
    cDCCode          nvarchar(12),
    cTrade           nvarchar(50),
    cCusAddress      nvarchar(255),
    cCusPostCode     nvarchar(20),
    cCusPhone        nvarchar(100),
    cCusFax          nvarchar(100),
    cCusEmail        nvarchar(100),
    cCusPerson       nvarchar(50),
    cCusHand         nvarchar(100),
    cCusPPerson      nvarchar(20),
    cCusDepart       nvarchar(12),
    ccuscontactcode  nvarchar(100),
    dCusDevDate      datetime,
    dEndDate         datetime,
    cCreatePerson    nvarchar(40),
    dCusCreateDatetime datetime
);
CREATE INDEX ix_Customer_ccuscontactcode ON Customer (ccuscontactcode);

-- A customer's delivery addresses; a contact's work address may be picked from them.
CREATE TABLE CusDeliverAdd (
    AutoId       int           IDENTITY PRIMARY KEY,
    cCusCode     nvarchar(20)  NOT NULL,
    cDeliverAdd  nvarchar(255) NOT NULL,
    cLinkMan     nvarchar(50),
    bDefault     bit           NOT NULL DEFAULT 0
);
CREATE INDEX ix_CusDeliverAdd_cCusCode ON CusDeliverAdd (cCusCode);

-- Item classes and the items of each (the items of class nn live in fitemssnn).
CREATE TABLE fitem (
    citem_class  nvarchar(2)  NOT NULL PRIMARY KEY,
    citem_name   nvarchar(50) NOT NULL
);

CREATE TABLE fitemss97 (
    citemcode    nvarchar(20)  NOT NULL PRIMARY KEY,
    citemname    nvarchar(100) NOT NULL,
    citemccode   nvarchar(20),
    bclose       bit           NOT NULL DEFAULT 0
);

CREATE TABLE Department (
    cDepCode     nvarchar(12)  NOT NULL PRIMARY KEY,
    cDepName     nvarchar(255) NOT NULL,
    iDepGrade    tinyint       NOT NULL DEFAULT 1,
    bDepEnd      bit           NOT NULL DEFAULT 1,
    cDepPerson   nvarchar(20),
    cDepPhone    nvarchar(100),
    cDepAddress  nvarchar(255),
    dDepBeginDate datetime,
    dDepEndDate  datetime
);

CREATE TABLE Person (
    cPersonCode   nvarchar(20)  NOT NULL PRIMARY KEY,
    cPersonName   nvarchar(40)  NOT NULL,
    cDepCode      nvarchar(12),
    cPersonEmail  nvarchar(100),
    cPersonPhone  nvarchar(100),
    dPValidDate   datetime,
    dPInValidDate datetime
);

-- Personnel records; the list shows the responsible person's name from here.
CREATE TABLE hr_hi_person (
    cPsn_Num        nvarchar(20)  NOT NULL PRIMARY KEY,
    cPsn_Name       nvarchar(40)  NOT NULL,
    cDept_num       nvarchar(12),
    rSex            nvarchar(2),
    cPsnMobilePhone nvarchar(100),
    cPsnEmail       nvarchar(100),
    dEnterDate      datetime
);

CREATE TABLE AA_Picture (
    cGUID         nvarchar(100) NOT NULL PRIMARY KEY,
    cPicturetype  nvarchar(20),
    Picture       image,
    cTableName    nvarchar(50)
);

-- User-defined items ------------------------------------------------------------------------

CREATE TABLE userdef (
    cID            nvarchar(20)  NOT NULL PRIMARY KEY,
    cClass         nvarchar(50)  NOT NULL,
    CItem          nvarchar(50)  NOT NULL,
    cItemName      nvarchar(50),
    bInput         bit           NOT NULL DEFAULT 0,
    cType          nvarchar(20),
    bFixLength     bit           NOT NULL DEFAULT 0,
    iLength        smallint      NOT NULL DEFAULT 120,
    iDecimalDigits tinyint,
    bCheckVal      bit           NOT NULL DEFAULT 0,
    iDataSource    tinyint       NOT NULL DEFAULT 0,   -- 0 own value list, 1 another archive
    cRelArchive    nvarchar(60),
    cRelField      nvarchar(60),
    bArchive       bit           NOT NULL DEFAULT 0,
    cDefaultVal    nvarchar(120),
    cDicDbname     nvarchar(60),
    bMultiSel      bit           NOT NULL DEFAULT 0,   -- several values, joined by commas
    UNIQUE (cClass, CItem)
);

-- Item hierarchy: an item whose values depend on the value of a parent item.
CREATE TABLE UserDef_Base (
    cID        nvarchar(20) NOT NULL PRIMARY KEY,
    cParentID  nvarchar(20)
);

CREATE TABLE userdefine (
    cId          nvarchar(20)  NOT NULL,
    cValue       nvarchar(120) NOT NULL,
    cAlias       nvarchar(120),
    -- the parent item's value this value belongs to (items with a parent in UserDef_Base)
    cParentValue nvarchar(120),
    PRIMARY KEY (cId, cValue)
);

-- Suite bookkeeping --------------------------------------------------------------------------

-- Codes changed since the duplicate detection last ran (obj_type 2 is the contact).
CREATE TABLE tc_tmp_duplication (
    ID        int          IDENTITY PRIMARY KEY,
    obj_type  int          NOT NULL,
    code      nvarchar(100) NOT NULL,
    oper      nvarchar(10)
);

-- Declared references between archives, checked before an archive row is deleted.
CREATE TABLE crm_ref_relation (
    ID                       int           IDENTITY PRIMARY KEY,
    creferencedtablename     nvarchar(100) NOT NULL,
    creferencedtablekey      nvarchar(100) NOT NULL,
    creferencingtablename    nvarchar(100) NOT NULL,
    creferencingtablecolumn  nvarchar(100) NOT NULL,
    cwherepart               nvarchar(500),
    cObjName                 nvarchar(100)
);

-- Display names of tables.
CREATE TABLE Rpt_GRPDef (
    SystemId     nvarchar(10)  NOT NULL,
    TableName    nvarchar(100) NOT NULL,
    TableDefine  nvarchar(100),
    PRIMARY KEY (SystemId, TableName)
);

-- Authorization ------------------------------------------------------------------------------

-- Business objects and which authorization controls apply to them, per language.
CREATE TABLE aa_busobject_base (
    cBusObId          nvarchar(50) NOT NULL,
    langid            nvarchar(10) NOT NULL,
    cBusObName        nvarchar(100),
    bAuthControl      bit          NOT NULL DEFAULT 0,
    iAuthType         tinyint      NOT NULL DEFAULT 0,
    bAuthDimControl   bit          NOT NULL DEFAULT 0,
    bDeptControl      bit          NOT NULL DEFAULT 0,
    bPersonControl    bit          NOT NULL DEFAULT 0,
    bAuthDim1Control  bit          NOT NULL DEFAULT 0,
    bAuthDim2Control  bit          NOT NULL DEFAULT 0,
    bAuthDim3Control  bit          NOT NULL DEFAULT 0,
    bAuthDim4Control  bit          NOT NULL DEFAULT 0,
    bCustDimControl   bit          NOT NULL DEFAULT 0,
    PRIMARY KEY (cBusObId, langid)
);

-- Authorization-dimension types (0, the department, is implicit) and their values.
CREATE TABLE AA_AuthDimen_Type (
    iADTID    int          NOT NULL PRIMARY KEY,
    cADTName  nvarchar(50) NOT NULL,
    bEnable   bit          NOT NULL DEFAULT 1
);

CREATE TABLE AA_AuthDimen_Sub (
    iADTID   int           NOT NULL,
    cADCode  nvarchar(50)  NOT NULL,
    cADName  nvarchar(100) NOT NULL,
    PRIMARY KEY (iADTID, cADCode)
);

CREATE VIEW V_AA_AuthDimen_Type AS
    SELECT iADTID, cADTName FROM AA_AuthDimen_Type WHERE bEnable = 1;

CREATE VIEW V_AA_AuthDimen_Sub AS
    SELECT s.iADTID, s.cADCode, s.cADName
    FROM AA_AuthDimen_Sub s INNER JOIN AA_AuthDimen_Type t ON t.iADTID = s.iADTID
    WHERE t.bEnable = 1;

-- Demo archive that refers to contacts ------------------------------------------------------

CREATE TABLE Crm_Opportunity (
    cOppCode      nvarchar(30)  NOT NULL PRIMARY KEY,
    cOppName      nvarchar(100) NOT NULL,
    cCusCode      nvarchar(20),
    cContactCode  nvarchar(60),
    dExpectDate   datetime,
    mExpectAmount money,
    iStage        tinyint       NOT NULL DEFAULT 1,
    cPrincipal    nvarchar(20),
    dCreateDate   datetime
);
CREATE INDEX ix_Crm_Opportunity_contact ON Crm_Opportunity (cContactCode);

-- The contact as the list and lookups read it ----------------------------------------------

-- Every contact column plus the display names of its coded columns. Names the list joins in
-- itself (cCusName, cDepName, cName ...) are left out so they stay unambiguous in its select
-- list.
CREATE VIEW v_Crm_Contact AS
    SELECT c.*,
           sx.cName         AS cSexName,
           mr.cName         AS cMarriageName,
           sup.cContactName AS csuperiorname,
           hp.cPsn_Name     AS cprincipalname
    FROM Crm_Contact c
    LEFT JOIN Crm_BaseCode sx ON sx.ID = c.bcSexID AND sx.cType = 'Sex'
    LEFT JOIN Crm_BaseCode mr ON mr.ID = c.bcMarriageID AND mr.cType = 'Marriage'
    LEFT JOIN Crm_Contact sup ON sup.cContactCode = c.cSuperiorID
    LEFT JOIN hr_hi_person hp ON hp.cPsn_Num = c.cPrincipal;

-- Fixed reference rows ----------------------------------------------------------------------

-- Sex and marital status keep these ids: batch modification maps its choice codes onto them.
INSERT INTO Crm_BaseCode (ID, cCode, cType, cName, bEdit) VALUES
    (6,   '0', 'Sex',      N'男',   0),
    (7,   '1', 'Sex',      N'女',   0),
    (8,   '2', 'Sex',      N'不详', 0),
    (9,   '0', 'Marriage', N'已婚', 0),
    (10,  '1', 'Marriage', N'未婚', 0),
    (11,  '2', 'Marriage', N'不详', 0),
    (250, '3', 'Marriage', N'离异', 0),
    (20,  '', 'Duty',  N'董事长',   1),
    (21,  '', 'Duty',  N'总经理',   1),
    (22,  '', 'Duty',  N'副总经理', 1),
    (23,  '', 'Duty',  N'财务总监', 1),
    (24,  '', 'Duty',  N'技术总监', 1),
    (25,  '', 'Duty',  N'采购经理', 1),
    (26,  '', 'Duty',  N'销售经理', 1),
    (27,  '', 'Duty',  N'项目经理', 1),
    (28,  '', 'Duty',  N'行政主管', 1),
    (29,  '', 'Duty',  N'工程师',   1),
    (30,  '', 'Duty',  N'会计',     1),
    (31,  '', 'Duty',  N'助理',     1),
    (40,  '', 'Taste', N'篮球',     1),
    (41,  '', 'Taste', N'足球',     1),
    (42,  '', 'Taste', N'高尔夫',   1),
    (43,  '', 'Taste', N'旅游',     1),
    (44,  '', 'Taste', N'阅读',     1),
    (45,  '', 'Taste', N'音乐',     1),
    (46,  '', 'Taste', N'摄影',     1),
    (47,  '', 'Taste', N'游泳',     1),
    (48,  '', 'Taste', N'登山',     1),
    (49,  '', 'Taste', N'围棋',     1),
    (50,  '', 'Taste', N'钓鱼',     1),
    (51,  '', 'Taste', N'茶艺',     1);

-- The contact archive's user-defined items: an empty caption means the item is not in use.
INSERT INTO userdef (cID, cClass, CItem, cItemName, cType, iLength, iDecimalDigits, cDicDbname) VALUES
    ('301', N'联系人', N'自定义项1',  '', N'文本', 120, NULL, 'cConDefine1'),
    ('302', N'联系人', N'自定义项2',  '', N'文本', 120, NULL, 'cConDefine2'),
    ('303', N'联系人', N'自定义项3',  '', N'文本', 120, NULL, 'cConDefine3'),
    ('304', N'联系人', N'自定义项4',  '', N'文本', 120, NULL, 'cConDefine4'),
    ('305', N'联系人', N'自定义项5',  '', N'文本', 120, NULL, 'cConDefine5'),
    ('306', N'联系人', N'自定义项6',  '', N'文本', 120, NULL, 'cConDefine6'),
    ('307', N'联系人', N'自定义项7',  '', N'文本', 120, NULL, 'cConDefine7'),
    ('308', N'联系人', N'自定义项8',  '', N'文本', 120, NULL, 'cConDefine8'),
    ('309', N'联系人', N'自定义项9',  '', N'文本', 120, NULL, 'cConDefine9'),
    ('310', N'联系人', N'自定义项10', '', N'文本', 120, NULL, 'cConDefine10'),
    ('311', N'联系人', N'自定义项11', '', N'整数', 10,  0,    'cConDefine11'),
    ('312', N'联系人', N'自定义项12', '', N'整数', 10,  0,    'cConDefine12'),
    ('313', N'联系人', N'自定义项13', '', N'数值', 18,  2,    'cConDefine13'),
    ('314', N'联系人', N'自定义项14', '', N'数值', 18,  2,    'cConDefine14'),
    ('315', N'联系人', N'自定义项15', '', N'日期', 20,  NULL, 'cConDefine15'),
    ('316', N'联系人', N'自定义项16', '', N'日期', 20,  NULL, 'cConDefine16'),
    ('351', N'联系人', N'扩展自定义项1',  '', N'文本', 120, NULL, 'cLDefine1'),
    ('352', N'联系人', N'扩展自定义项2',  '', N'文本', 120, NULL, 'cLDefine2'),
    ('353', N'联系人', N'扩展自定义项3',  '', N'文本', 120, NULL, 'cLDefine3'),
    ('354', N'联系人', N'扩展自定义项4',  '', N'文本', 120, NULL, 'cLDefine4'),
    ('355', N'联系人', N'扩展自定义项5',  '', N'文本', 120, NULL, 'cLDefine5'),
    ('356', N'联系人', N'扩展自定义项6',  '', N'文本', 120, NULL, 'cLDefine6'),
    ('357', N'联系人', N'扩展自定义项7',  '', N'文本', 120, NULL, 'cLDefine7'),
    ('358', N'联系人', N'扩展自定义项8',  '', N'文本', 120, NULL, 'cLDefine8'),
    ('359', N'联系人', N'扩展自定义项9',  '', N'数值', 28,  2,    'cLDefine9'),
    ('360', N'联系人', N'扩展自定义项10', '', N'日期', 20,  NULL, 'cLDefine10');

INSERT INTO Rpt_GRPDef (SystemId, TableName, TableDefine) VALUES
    ('AA', 'Customer',        N'客户档案'),
    ('AA', 'Department',      N'部门档案'),
    ('AA', 'Person',          N'职员档案'),
    ('AA', 'hr_hi_person',    N'人员档案'),
    ('CS', 'Crm_Contact',     N'联系人档案'),
    ('CS', 'Crm_BaseCode',    N'基础代码'),
    ('CS', 'Crm_Opportunity', N'商机');

INSERT INTO crm_ref_relation (creferencedtablename, creferencedtablekey, creferencingtablename,
                              creferencingtablecolumn, cwherepart, cObjName) VALUES
    ('Crm_Contact', 'cContactCode', 'Crm_Opportunity', 'cContactCode', '', N'商机');

INSERT INTO aa_busobject_base (cBusObId, langid, cBusObName, bAuthControl, iAuthType,
                               bAuthDimControl, bDeptControl, bPersonControl) VALUES
    ('Crm_Contact', 'zh-CN', N'联系人',   1, 0, 0, 1, 1),
    ('Crm_Contact', 'en-US', 'Contact',  1, 0, 0, 1, 1),
    ('Customer',    'zh-CN', N'客户',     1, 0, 0, 1, 1),
    ('Customer',    'en-US', 'Customer', 1, 0, 0, 1, 1);

INSERT INTO AA_AuthDimen_Type (iADTID, cADTName) VALUES
    (1, N'区域'),
    (2, N'行业'),
    (3, N'产品线'),
    (4, N'渠道');

INSERT INTO AA_AuthDimen_Sub (iADTID, cADCode, cADName) VALUES
    (1, '01', N'华北'), (1, '02', N'华东'), (1, '03', N'华南'), (1, '04', N'西部'),
    (2, '01', N'制造业'), (2, '02', N'零售'), (2, '03', N'金融'), (2, '04', N'教育'),
    (3, '01', N'财务软件'), (3, '02', N'供应链'), (3, '03', N'客户关系'),
    (4, '01', N'直销'), (4, '02', N'代理'), (4, '03', N'线上');

-- Host state of the suite's services -------------------------------------------------------

-- Column layouts an operator stored for an archive (ColumnSetService). A column without a row
-- here keeps the dictionary caption and the suite's default layout.
CREATE TABLE qz_ColumnLayout (
    cUser_Id    nvarchar(20)  NOT NULL,
    cKey        nvarchar(50)  NOT NULL,   -- archive key in lower case, e.g. 'crm_contact'
    cFieldName  nvarchar(60)  NOT NULL,
    cCaption    nvarchar(100),            -- NULL: the dictionary caption
    bShow       bit           NOT NULL DEFAULT 1,
    iWidth      int           NOT NULL DEFAULT 100,
    iOrder      int           NOT NULL DEFAULT 0,
    bMustInput  bit           NOT NULL DEFAULT 0,
    PRIMARY KEY (cUser_Id, cKey, cFieldName)
);

-- Column authorization (ColumnAuthService): which columns of a business object an operator may
-- not see or change. A rule with an empty cFuncId holds for every function; a rule for the
-- function itself wins over it, so bDenied = 0 there lifts a general denial.
CREATE TABLE qz_ColumnAuth (
    cUser_Id    nvarchar(20)  NOT NULL,
    cBusObId    nvarchar(50)  NOT NULL,
    cFuncId     nvarchar(30)  NOT NULL DEFAULT '',
    cFieldName  nvarchar(60)  NOT NULL,
    bDenied     bit           NOT NULL DEFAULT 1,
    PRIMARY KEY (cUser_Id, cBusObId, cFuncId, cFieldName)
);

-- Row authorization (RowAuthService): which rows of the archives an operator's functions reach.
-- cKind is person (a person code, against the archive's cPrincipal), customer (a customer code)
-- or dimension ("<type>:<code>" granted in crm_contact_Auth; type 0 is the department). A rule
-- with an empty cFuncId holds for every function (R, W, D); the value * lifts the kind.
CREATE TABLE qz_RowAuth (
    cUser_Id  nvarchar(20)   NOT NULL,
    cKind     nvarchar(20)   NOT NULL,
    cFuncId   nvarchar(10)   NOT NULL DEFAULT '',
    cValue    nvarchar(100)  NOT NULL,
    PRIMARY KEY (cUser_Id, cKind, cFuncId, cValue)
);

-- Running function tasks (FunctionTaskService): which functions each operator session runs now.
CREATE TABLE qz_FunctionTask (
    cSessionId  nvarchar(40)  NOT NULL,
    cUser_Id    nvarchar(20)  NOT NULL,
    cFuncId     nvarchar(30)  NOT NULL,
    dBegin      datetime      NOT NULL,
    PRIMARY KEY (cSessionId, cFuncId)
);

-- Function locks (PubService.IsLockFun) per archive (lower case) and session. dBeat is renewed
-- by the session's heartbeat while it lives; a lock not renewed for a while belongs to a dead
-- session.
CREATE TABLE qz_FunctionLock (
    cArchive    nvarchar(50)  NOT NULL,
    iLock       int           NOT NULL,
    cSessionId  nvarchar(40)  NOT NULL,
    cUser_Id    nvarchar(20)  NOT NULL,
    dBeat       datetime      NOT NULL,
    PRIMARY KEY (cArchive, iLock, cSessionId)
);

-- Per-operator settings (PubService.GetRegEdit, SaveRegEdit): key and name in lower case.
CREATE TABLE qz_UserSetting (
    cUser_Id  nvarchar(20)   NOT NULL,
    cKey      nvarchar(60)   NOT NULL,
    cName     nvarchar(60)   NOT NULL,
    cValue    nvarchar(400),
    PRIMARY KEY (cUser_Id, cKey, cName)
);

-- Print styles per operator and key (PubService.GetPrnStyle, SavePrnStyle): key in lower case.
CREATE TABLE qz_PrintStyle (
    cUser_Id  nvarchar(20)    NOT NULL,
    cKey      nvarchar(60)    NOT NULL,
    cStyle    nvarchar(4000),
    PRIMARY KEY (cUser_Id, cKey)
);

-- The archive change log (PubService.LogArch), one row per logged change: iOperation 4 is a
-- batch modification, cStatement the statement that made it, dLogTime the server's time.
-- Written by the service, which creates the table in an account made before it existed.
CREATE TABLE qz_ArchiveLog (
    ID            int            IDENTITY PRIMARY KEY,
    cArchive      nvarchar(50)   NOT NULL,
    iOperation    int            NOT NULL,
    cKey          nvarchar(100),
    cUser_Id      nvarchar(20),
    cKind         nvarchar(20),
    cDescription  nvarchar(max),
    cStatement    nvarchar(max),
    dLogTime      datetime       NOT NULL
);

-- Function rights of operators who are not administrators (the login's TaskExec).
CREATE TABLE qz_UserFunction (
    cUser_Id  nvarchar(20)  NOT NULL,
    cFuncId   nvarchar(30)  NOT NULL,
    PRIMARY KEY (cUser_Id, cFuncId)
);
