-- Text compares without regard to case, as the suite's databases always have: codes and
-- OIDs written in one case are found in the other.
-- Account database QZDATA_<acc>_<year>: the main database of a connection.
-- Columns carry the suite's SQL Server types; the data layer derives type codes and defined
-- sizes from these declarations, so keep them exact. Every table has a primary key because
-- updatable recordsets write their changes keyed by it.
-- Identity columns are declared "integer PRIMARY KEY" (the only form SQLite numbers itself).

-- Row versions -------------------------------------------------------------------------------

-- One database-wide counter; a row version is a copy of it taken when the row was written.
CREATE TABLE qz_RowVersion (
    ID       int    NOT NULL PRIMARY KEY CHECK (ID = 1),
    iLastTs  bigint NOT NULL
);
INSERT INTO qz_RowVersion (ID, iLastTs) VALUES (1, 0);

-- Contacts -----------------------------------------------------------------------------------

CREATE TABLE Crm_Contact (
    OID           nvarchar(100) COLLATE NOCASE NOT NULL PRIMARY KEY DEFAULT ('{' || lower(hex(randomblob(4)) || '-'
                      || hex(randomblob(2)) || '-' || hex(randomblob(2)) || '-'
                      || hex(randomblob(2)) || '-' || hex(randomblob(6))) || '}'),
    cContactCode  nvarchar(60) COLLATE NOCASE  NOT NULL UNIQUE,
    cContactName  nvarchar(60) COLLATE NOCASE,
    cCusCode      nvarchar(20) COLLATE NOCASE,
    cAppellation  nvarchar(60) COLLATE NOCASE,
    bcSexID       int,
    bcMarriageID  int,
    bcDutyID      nvarchar(60) COLLATE NOCASE,
    bcTasteID     nvarchar(60) COLLATE NOCASE,
    dBirthday     datetime,
    cNative       nvarchar(60) COLLATE NOCASE,
    cSuperiorID   nvarchar(60) COLLATE NOCASE,
    cPrincipal    nvarchar(20) COLLATE NOCASE,
    cConDepart    nvarchar(12) COLLATE NOCASE,
    cMobilePhone  nvarchar(100) COLLATE NOCASE,
    cOfficePhone  nvarchar(100) COLLATE NOCASE,
    cHomePhone    nvarchar(100) COLLATE NOCASE,
    cCall         nvarchar(100) COLLATE NOCASE,
    cEmail        nvarchar(100) COLLATE NOCASE,
    cHomePage     nvarchar(100) COLLATE NOCASE,
    cWorkAddress  nvarchar(255) COLLATE NOCASE,
    cZipcode      nvarchar(20) COLLATE NOCASE,
    cHomeAddress  nvarchar(255) COLLATE NOCASE,
    cWechat       nvarchar(100) COLLATE NOCASE,
    cHomeMember   nvarchar(255) COLLATE NOCASE,
    bMajor        bit           NOT NULL DEFAULT 0,
    cMemo         nvarchar(255) COLLATE NOCASE,
    dConEDate     datetime,
    cConDefine1   nvarchar(120) COLLATE NOCASE,
    cConDefine2   nvarchar(120) COLLATE NOCASE,
    cConDefine3   nvarchar(120) COLLATE NOCASE,
    cConDefine4   nvarchar(120) COLLATE NOCASE,
    cConDefine5   nvarchar(120) COLLATE NOCASE,
    cConDefine6   nvarchar(120) COLLATE NOCASE,
    cConDefine7   nvarchar(120) COLLATE NOCASE,
    cConDefine8   nvarchar(120) COLLATE NOCASE,
    cConDefine9   nvarchar(120) COLLATE NOCASE,
    cConDefine10  nvarchar(120) COLLATE NOCASE,
    cConDefine11  int,
    cConDefine12  int,
    cConDefine13  float,
    cConDefine14  float,
    cConDefine15  datetime,
    cConDefine16  datetime,
    bDefaultCon   bit           NOT NULL DEFAULT 0,
    PictureGUID   nvarchar(100) COLLATE NOCASE,
    dCreateDate   datetime,
    cCreator      nvarchar(40) COLLATE NOCASE,
    dModifyDate   datetime,
    cRevisor      nvarchar(40) COLLATE NOCASE,
    qzts          timestamp
);
CREATE INDEX ix_Crm_Contact_cCusCode ON Crm_Contact (cCusCode);
CREATE INDEX ix_Crm_Contact_cSuperiorID ON Crm_Contact (cSuperiorID);

-- The WHEN guard keeps the trigger's own write of qzts from counting as another update, even
-- where recursive triggers are switched on.
CREATE TRIGGER tr_Crm_Contact_qzts_insert AFTER INSERT ON Crm_Contact
BEGIN
    UPDATE qz_RowVersion SET iLastTs = iLastTs + 1 WHERE ID = 1;
    UPDATE Crm_Contact SET qzts = (SELECT iLastTs FROM qz_RowVersion WHERE ID = 1)
        WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER tr_Crm_Contact_qzts_update AFTER UPDATE ON Crm_Contact
WHEN NEW.qzts IS OLD.qzts
BEGIN
    UPDATE qz_RowVersion SET iLastTs = iLastTs + 1 WHERE ID = 1;
    UPDATE Crm_Contact SET qzts = (SELECT iLastTs FROM qz_RowVersion WHERE ID = 1)
        WHERE rowid = NEW.rowid;
END;

-- Extension fields, one row per contact. Columns from the third on are the extension items
-- declared in userdef ("扩展自定义项n" -> cLDefine<n>).
CREATE TABLE Crm_Contact_extradefine (
    OID           nvarchar(100) COLLATE NOCASE NOT NULL PRIMARY KEY,
    cContactCode  nvarchar(60) COLLATE NOCASE,
    cLDefine1     nvarchar(120) COLLATE NOCASE,
    cLDefine2     nvarchar(120) COLLATE NOCASE,
    cLDefine3     nvarchar(120) COLLATE NOCASE,
    cLDefine4     nvarchar(120) COLLATE NOCASE,
    cLDefine5     nvarchar(120) COLLATE NOCASE,
    cLDefine6     nvarchar(120) COLLATE NOCASE,
    cLDefine7     nvarchar(120) COLLATE NOCASE,
    cLDefine8     nvarchar(120) COLLATE NOCASE,
    cLDefine9     decimal(28,6),
    cLDefine10    datetime
);
CREATE INDEX ix_Crm_Contact_extradefine_code ON Crm_Contact_extradefine (cContactCode);

-- Related persons of a contact: the users and employees who share it.
CREATE TABLE crm_contact_User (
    Contact_Id    nvarchar(60) COLLATE NOCASE  NOT NULL,
    User_Id       nvarchar(20) COLLATE NOCASE  NOT NULL,
    iUserType     tinyint       NOT NULL DEFAULT 0,  -- 0 operator, 1 employee
    PRIMARY KEY (Contact_Id, User_Id)
);

-- Data-authorization dimensions granted on a contact: Privilege_Type 0 is the department,
-- any other value an authorization-dimension type (AA_AuthDimen_Type.iADTID).
CREATE TABLE crm_contact_Auth (
    Contact_Id     nvarchar(60) COLLATE NOCASE NOT NULL,
    Privilege_Type int          NOT NULL,
    Privilege_ID   nvarchar(50) COLLATE NOCASE NOT NULL,
    PRIMARY KEY (Contact_Id, Privilege_Type, Privilege_ID)
);

-- Companion rows go with their contact, whoever deletes it and in whatever order: a save that
-- re-created one of them while the contact was being deleted leaves nothing behind.
CREATE TRIGGER tr_Crm_Contact_companions AFTER DELETE ON Crm_Contact
BEGIN
    DELETE FROM Crm_Contact_extradefine WHERE OID = OLD.OID;
    DELETE FROM crm_contact_Auth WHERE Contact_Id = OLD.cContactCode;
    DELETE FROM crm_contact_User WHERE Contact_Id = OLD.cContactCode;
END;

CREATE TABLE Crm_BaseCode (
    ID     integer      PRIMARY KEY AUTOINCREMENT,
    cCode  nvarchar(20) COLLATE NOCASE,
    cType  nvarchar(20) COLLATE NOCASE NOT NULL,
    cName  nvarchar(60) COLLATE NOCASE NOT NULL,
    bEdit  bit          NOT NULL DEFAULT 1,
    -- stamped by the save steps like every archive row
    dCreateDate datetime,
    cCreator    nvarchar(40) COLLATE NOCASE,
    dModifyDate datetime,
    cRevisor    nvarchar(40) COLLATE NOCASE,
    UNIQUE (cType, cName)
);

-- Archives the contact refers to ------------------------------------------------------------

CREATE TABLE Customer (
    cCusCode         nvarchar(20) COLLATE NOCASE  NOT NULL PRIMARY KEY,
    iId              int           NOT NULL UNIQUE,
    cCusName         nvarchar(98) COLLATE NOCASE  NOT NULL,
    cCusAbbName      nvarchar(60) COLLATE NOCASE,
    cCCCode          nvarchar(12) COLLATE NOCASE,
    cDCCode          nvarchar(12) COLLATE NOCASE,
    cTrade           nvarchar(50) COLLATE NOCASE,
    cCusAddress      nvarchar(255) COLLATE NOCASE,
    cCusPostCode     nvarchar(20) COLLATE NOCASE,
    cCusPhone        nvarchar(100) COLLATE NOCASE,
    cCusFax          nvarchar(100) COLLATE NOCASE,
    cCusEmail        nvarchar(100) COLLATE NOCASE,
    cCusPerson       nvarchar(50) COLLATE NOCASE,
    cCusHand         nvarchar(100) COLLATE NOCASE,
    cCusPPerson      nvarchar(20) COLLATE NOCASE,
    cCusDepart       nvarchar(12) COLLATE NOCASE,
    ccuscontactcode  nvarchar(100) COLLATE NOCASE,
    dCusDevDate      datetime,
    dEndDate         datetime,
    cCreatePerson    nvarchar(40) COLLATE NOCASE,
    dCusCreateDatetime datetime
);
CREATE INDEX ix_Customer_ccuscontactcode ON Customer (ccuscontactcode);

CREATE TABLE Department (
    cDepCode     nvarchar(12) COLLATE NOCASE  NOT NULL PRIMARY KEY,
    cDepName     nvarchar(255) COLLATE NOCASE NOT NULL,
    iDepGrade    tinyint       NOT NULL DEFAULT 1,
    bDepEnd      bit           NOT NULL DEFAULT 1,
    cDepPerson   nvarchar(20) COLLATE NOCASE,
    cDepPhone    nvarchar(100) COLLATE NOCASE,
    cDepAddress  nvarchar(255) COLLATE NOCASE,
    dDepBeginDate datetime,
    dDepEndDate  datetime
);

CREATE TABLE Person (
    cPersonCode   nvarchar(20) COLLATE NOCASE  NOT NULL PRIMARY KEY,
    cPersonName   nvarchar(40) COLLATE NOCASE  NOT NULL,
    cDepCode      nvarchar(12) COLLATE NOCASE,
    cPersonEmail  nvarchar(100) COLLATE NOCASE,
    cPersonPhone  nvarchar(100) COLLATE NOCASE,
    dPValidDate   datetime,
    dPInValidDate datetime
);

-- Personnel records; the list shows the responsible person's name from here.
CREATE TABLE hr_hi_person (
    cPsn_Num        nvarchar(20) COLLATE NOCASE  NOT NULL PRIMARY KEY,
    cPsn_Name       nvarchar(40) COLLATE NOCASE  NOT NULL,
    cDept_num       nvarchar(12) COLLATE NOCASE,
    rSex            nvarchar(2) COLLATE NOCASE,
    cPsnMobilePhone nvarchar(100) COLLATE NOCASE,
    cPsnEmail       nvarchar(100) COLLATE NOCASE,
    dEnterDate      datetime
);

CREATE TABLE AA_Picture (
    cGUID         nvarchar(100) COLLATE NOCASE NOT NULL PRIMARY KEY,
    cPicturetype  nvarchar(20) COLLATE NOCASE,
    Picture       image,
    cTableName    nvarchar(50) COLLATE NOCASE
);

-- User-defined items ------------------------------------------------------------------------

CREATE TABLE userdef (
    cID            nvarchar(20) COLLATE NOCASE  NOT NULL PRIMARY KEY,
    cClass         nvarchar(50) COLLATE NOCASE  NOT NULL,
    CItem          nvarchar(50) COLLATE NOCASE  NOT NULL,
    cItemName      nvarchar(50) COLLATE NOCASE,
    bInput         bit           NOT NULL DEFAULT 0,
    cType          nvarchar(20) COLLATE NOCASE,
    bFixLength     bit           NOT NULL DEFAULT 0,
    iLength        smallint      NOT NULL DEFAULT 120,
    iDecimalDigits tinyint,
    bCheckVal      bit           NOT NULL DEFAULT 0,
    iDataSource    tinyint       NOT NULL DEFAULT 0,   -- 0 own value list, 1 another archive
    cRelArchive    nvarchar(60) COLLATE NOCASE,
    cRelField      nvarchar(60) COLLATE NOCASE,
    bArchive       bit           NOT NULL DEFAULT 0,
    cDefaultVal    nvarchar(120) COLLATE NOCASE,
    cDicDbname     nvarchar(60) COLLATE NOCASE,
    UNIQUE (cClass, CItem)
);

-- Item hierarchy: an item whose values depend on the value of a parent item.
CREATE TABLE UserDef_Base (
    cID        nvarchar(20) COLLATE NOCASE NOT NULL PRIMARY KEY,
    cParentID  nvarchar(20) COLLATE NOCASE
);

CREATE TABLE userdefine (
    cId     nvarchar(20) COLLATE NOCASE  NOT NULL,
    cValue  nvarchar(120) COLLATE NOCASE NOT NULL,
    PRIMARY KEY (cId, cValue)
);

-- Suite bookkeeping --------------------------------------------------------------------------

-- Codes changed since the duplicate detection last ran (obj_type 2 is the contact).
CREATE TABLE tc_tmp_duplication (
    ID        integer      PRIMARY KEY AUTOINCREMENT,
    obj_type  int          NOT NULL,
    code      nvarchar(100) COLLATE NOCASE NOT NULL,
    oper      nvarchar(10) COLLATE NOCASE
);

-- Declared references between archives, checked before an archive row is deleted.
CREATE TABLE crm_ref_relation (
    ID                       integer       PRIMARY KEY AUTOINCREMENT,
    creferencedtablename     nvarchar(100) COLLATE NOCASE NOT NULL,
    creferencedtablekey      nvarchar(100) COLLATE NOCASE NOT NULL,
    creferencingtablename    nvarchar(100) COLLATE NOCASE NOT NULL,
    creferencingtablecolumn  nvarchar(100) COLLATE NOCASE NOT NULL,
    cwherepart               nvarchar(500) COLLATE NOCASE,
    cObjName                 nvarchar(100) COLLATE NOCASE
);

-- Display names of tables.
CREATE TABLE Rpt_GRPDef (
    SystemId     nvarchar(10) COLLATE NOCASE  NOT NULL,
    TableName    nvarchar(100) COLLATE NOCASE NOT NULL,
    TableDefine  nvarchar(100) COLLATE NOCASE,
    PRIMARY KEY (SystemId, TableName)
);

-- Authorization ------------------------------------------------------------------------------

-- Business objects and which authorization controls apply to them, per language.
CREATE TABLE aa_busobject_base (
    cBusObId          nvarchar(50) COLLATE NOCASE NOT NULL,
    langid            nvarchar(10) COLLATE NOCASE NOT NULL,
    cBusObName        nvarchar(100) COLLATE NOCASE,
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
    cADTName  nvarchar(50) COLLATE NOCASE NOT NULL,
    bEnable   bit          NOT NULL DEFAULT 1
);

CREATE TABLE AA_AuthDimen_Sub (
    iADTID   int           NOT NULL,
    cADCode  nvarchar(50) COLLATE NOCASE  NOT NULL,
    cADName  nvarchar(100) COLLATE NOCASE NOT NULL,
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
    cOppCode      nvarchar(30) COLLATE NOCASE  NOT NULL PRIMARY KEY,
    cOppName      nvarchar(100) COLLATE NOCASE NOT NULL,
    cCusCode      nvarchar(20) COLLATE NOCASE,
    cContactCode  nvarchar(60) COLLATE NOCASE,
    dExpectDate   datetime,
    mExpectAmount money,
    iStage        tinyint       NOT NULL DEFAULT 1,
    cPrincipal    nvarchar(20) COLLATE NOCASE,
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
    (6,   '0', 'Sex',      '男',   0),
    (7,   '1', 'Sex',      '女',   0),
    (8,   '2', 'Sex',      '不详', 0),
    (9,   '0', 'Marriage', '已婚', 0),
    (10,  '1', 'Marriage', '未婚', 0),
    (11,  '2', 'Marriage', '不详', 0),
    (250, '3', 'Marriage', '离异', 0),
    (20,  '', 'Duty',  '董事长',   1),
    (21,  '', 'Duty',  '总经理',   1),
    (22,  '', 'Duty',  '副总经理', 1),
    (23,  '', 'Duty',  '财务总监', 1),
    (24,  '', 'Duty',  '技术总监', 1),
    (25,  '', 'Duty',  '采购经理', 1),
    (26,  '', 'Duty',  '销售经理', 1),
    (27,  '', 'Duty',  '项目经理', 1),
    (28,  '', 'Duty',  '行政主管', 1),
    (29,  '', 'Duty',  '工程师',   1),
    (30,  '', 'Duty',  '会计',     1),
    (31,  '', 'Duty',  '助理',     1),
    (40,  '', 'Taste', '篮球',     1),
    (41,  '', 'Taste', '足球',     1),
    (42,  '', 'Taste', '高尔夫',   1),
    (43,  '', 'Taste', '旅游',     1),
    (44,  '', 'Taste', '阅读',     1),
    (45,  '', 'Taste', '音乐',     1),
    (46,  '', 'Taste', '摄影',     1),
    (47,  '', 'Taste', '游泳',     1),
    (48,  '', 'Taste', '登山',     1),
    (49,  '', 'Taste', '围棋',     1),
    (50,  '', 'Taste', '钓鱼',     1),
    (51,  '', 'Taste', '茶艺',     1);

-- The contact archive's user-defined items: an empty caption means the item is not in use.
INSERT INTO userdef (cID, cClass, CItem, cItemName, cType, iLength, iDecimalDigits, cDicDbname) VALUES
    ('301', '联系人', '自定义项1',  '', '文本', 120, NULL, 'cConDefine1'),
    ('302', '联系人', '自定义项2',  '', '文本', 120, NULL, 'cConDefine2'),
    ('303', '联系人', '自定义项3',  '', '文本', 120, NULL, 'cConDefine3'),
    ('304', '联系人', '自定义项4',  '', '文本', 120, NULL, 'cConDefine4'),
    ('305', '联系人', '自定义项5',  '', '文本', 120, NULL, 'cConDefine5'),
    ('306', '联系人', '自定义项6',  '', '文本', 120, NULL, 'cConDefine6'),
    ('307', '联系人', '自定义项7',  '', '文本', 120, NULL, 'cConDefine7'),
    ('308', '联系人', '自定义项8',  '', '文本', 120, NULL, 'cConDefine8'),
    ('309', '联系人', '自定义项9',  '', '文本', 120, NULL, 'cConDefine9'),
    ('310', '联系人', '自定义项10', '', '文本', 120, NULL, 'cConDefine10'),
    ('311', '联系人', '自定义项11', '', '整数', 10,  0,    'cConDefine11'),
    ('312', '联系人', '自定义项12', '', '整数', 10,  0,    'cConDefine12'),
    ('313', '联系人', '自定义项13', '', '数值', 18,  2,    'cConDefine13'),
    ('314', '联系人', '自定义项14', '', '数值', 18,  2,    'cConDefine14'),
    ('315', '联系人', '自定义项15', '', '日期', 20,  NULL, 'cConDefine15'),
    ('316', '联系人', '自定义项16', '', '日期', 20,  NULL, 'cConDefine16'),
    ('351', '联系人', '扩展自定义项1',  '', '文本', 120, NULL, 'cLDefine1'),
    ('352', '联系人', '扩展自定义项2',  '', '文本', 120, NULL, 'cLDefine2'),
    ('353', '联系人', '扩展自定义项3',  '', '文本', 120, NULL, 'cLDefine3'),
    ('354', '联系人', '扩展自定义项4',  '', '文本', 120, NULL, 'cLDefine4'),
    ('355', '联系人', '扩展自定义项5',  '', '文本', 120, NULL, 'cLDefine5'),
    ('356', '联系人', '扩展自定义项6',  '', '文本', 120, NULL, 'cLDefine6'),
    ('357', '联系人', '扩展自定义项7',  '', '文本', 120, NULL, 'cLDefine7'),
    ('358', '联系人', '扩展自定义项8',  '', '文本', 120, NULL, 'cLDefine8'),
    ('359', '联系人', '扩展自定义项9',  '', '数值', 28,  2,    'cLDefine9'),
    ('360', '联系人', '扩展自定义项10', '', '日期', 20,  NULL, 'cLDefine10');

INSERT INTO Rpt_GRPDef (SystemId, TableName, TableDefine) VALUES
    ('AA', 'Customer',        '客户档案'),
    ('AA', 'Department',      '部门档案'),
    ('AA', 'Person',          '职员档案'),
    ('AA', 'hr_hi_person',    '人员档案'),
    ('CS', 'Crm_Contact',     '联系人档案'),
    ('CS', 'Crm_BaseCode',    '基础代码'),
    ('CS', 'Crm_Opportunity', '商机');

INSERT INTO crm_ref_relation (creferencedtablename, creferencedtablekey, creferencingtablename,
                              creferencingtablecolumn, cwherepart, cObjName) VALUES
    ('Crm_Contact', 'cContactCode', 'Crm_Opportunity', 'cContactCode', '', '商机');

INSERT INTO aa_busobject_base (cBusObId, langid, cBusObName, bAuthControl, iAuthType,
                               bAuthDimControl, bDeptControl, bPersonControl) VALUES
    ('Crm_Contact', 'zh-CN', '联系人',   1, 0, 0, 1, 1),
    ('Crm_Contact', 'en-US', 'Contact',  1, 0, 0, 1, 1),
    ('Customer',    'zh-CN', '客户',     1, 0, 0, 1, 1),
    ('Customer',    'en-US', 'Customer', 1, 0, 0, 1, 1);

INSERT INTO AA_AuthDimen_Type (iADTID, cADTName) VALUES
    (1, '区域'),
    (2, '行业'),
    (3, '产品线'),
    (4, '渠道');

INSERT INTO AA_AuthDimen_Sub (iADTID, cADCode, cADName) VALUES
    (1, '01', '华北'), (1, '02', '华东'), (1, '03', '华南'), (1, '04', '西部'),
    (2, '01', '制造业'), (2, '02', '零售'), (2, '03', '金融'), (2, '04', '教育'),
    (3, '01', '财务软件'), (3, '02', '供应链'), (3, '03', '客户关系'),
    (4, '01', '直销'), (4, '02', '代理'), (4, '03', '线上');

-- Host state of the suite's services -------------------------------------------------------

-- Column layouts an operator stored for an archive (ColumnSetService). A column without a row
-- here keeps the dictionary caption and the suite's default layout.
CREATE TABLE qz_ColumnLayout (
    cUser_Id    nvarchar(20) COLLATE NOCASE  NOT NULL,
    cKey        nvarchar(50) COLLATE NOCASE  NOT NULL,   -- archive key in lower case, e.g. 'crm_contact'
    cFieldName  nvarchar(60) COLLATE NOCASE  NOT NULL,
    cCaption    nvarchar(100) COLLATE NOCASE,            -- NULL: the dictionary caption
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
    cUser_Id    nvarchar(20) COLLATE NOCASE  NOT NULL,
    cBusObId    nvarchar(50) COLLATE NOCASE  NOT NULL,
    cFuncId     nvarchar(30) COLLATE NOCASE  NOT NULL DEFAULT '',
    cFieldName  nvarchar(60) COLLATE NOCASE  NOT NULL,
    bDenied     bit           NOT NULL DEFAULT 1,
    PRIMARY KEY (cUser_Id, cBusObId, cFuncId, cFieldName)
);

-- Function rights of operators who are not administrators (the login's TaskExec).
CREATE TABLE qz_UserFunction (
    cUser_Id  nvarchar(20) COLLATE NOCASE  NOT NULL,
    cFuncId   nvarchar(30) COLLATE NOCASE  NOT NULL,
    PRIMARY KEY (cUser_Id, cFuncId)
);
