-- Account database QZDATA_<acc>_<year>: a schema of that name in lower case. The installer runs
-- this script with the search path set to that schema and public (where the suite's domains and
-- functions live). Columns carry the PostgreSQL form of the suite's SQL Server types (nvarchar ->
-- varchar, ntext -> text, bit -> flag, money -> numeric(19,4), datetime -> timestamp(3), image ->
-- bytea, timestamp -> rowversion); the data layer maps them back to the SQL Server type codes and
-- defined sizes, so keep them exact. Names are unquoted: the catalog holds them in lower case and
-- the installer records the spelling written here. Every table has a primary key because
-- updatable recordsets write their changes keyed by it.

-- Row versions -------------------------------------------------------------------------------

-- One counter per account database; a row version is a value of it taken when the row was
-- written (public.perikon_touch_row_version).
CREATE SEQUENCE qz_rowversion_seq;

-- Contacts -----------------------------------------------------------------------------------

CREATE TABLE Crm_Contact (
    OID           varchar(100) NOT NULL PRIMARY KEY
                      DEFAULT ('{' || gen_random_uuid()::text || '}'),
    cContactCode  varchar(60)  NOT NULL UNIQUE,
    cContactName  varchar(60),
    cCusCode      varchar(20),
    cAppellation  varchar(60),
    bcSexID       int,
    bcMarriageID  int,
    bcDutyID      varchar(60),
    bcTasteID     varchar(60),
    dBirthday     timestamp(3),
    cNative       varchar(60),
    cSuperiorID   varchar(60),
    cPrincipal    varchar(20),
    cConDepart    varchar(12),
    cMobilePhone  varchar(100),
    cOfficePhone  varchar(100),
    cHomePhone    varchar(100),
    cCall         varchar(100),
    cEmail        varchar(100),
    cHomePage     varchar(100),
    cWorkAddress  varchar(255),
    cZipcode      varchar(20),
    cHomeAddress  varchar(255),
    cWechat       varchar(100),
    cHomeMember   varchar(255),
    bMajor        flag           NOT NULL DEFAULT 0,
    cMemo         varchar(255),
    dConEDate     timestamp(3),
    cConDefine1   varchar(120),
    cConDefine2   varchar(120),
    cConDefine3   varchar(120),
    cConDefine4   varchar(120),
    cConDefine5   varchar(120),
    cConDefine6   varchar(120),
    cConDefine7   varchar(120),
    cConDefine8   varchar(120),
    cConDefine9   varchar(120),
    cConDefine10  varchar(120),
    cConDefine11  int,
    cConDefine12  int,
    cConDefine13  double precision,
    cConDefine14  double precision,
    cConDefine15  timestamp(3),
    cConDefine16  timestamp(3),
    bDefaultCon   flag           NOT NULL DEFAULT 0,
    PictureGUID   varchar(100),
    dCreateDate   timestamp(3),
    cCreator      varchar(40),
    dModifyDate   timestamp(3),
    cRevisor      varchar(40),
    qzts          rowversion
);
CREATE INDEX ix_Crm_Contact_cCusCode ON Crm_Contact (cCusCode);
CREATE INDEX ix_Crm_Contact_cSuperiorID ON Crm_Contact (cSuperiorID);

CREATE TRIGGER tr_Crm_Contact_qzts BEFORE INSERT OR UPDATE ON Crm_Contact
    FOR EACH ROW EXECUTE FUNCTION public.perikon_touch_row_version();

-- Extension fields, one row per contact. Columns from the third on are the extension items
-- declared in userdef ("扩展自定义项n" -> cLDefine<n>).
CREATE TABLE Crm_Contact_extradefine (
    OID           varchar(100) NOT NULL PRIMARY KEY,
    cContactCode  varchar(60),
    cLDefine1     varchar(120),
    cLDefine2     varchar(120),
    cLDefine3     varchar(120),
    cLDefine4     varchar(120),
    cLDefine5     varchar(120),
    cLDefine6     varchar(120),
    cLDefine7     varchar(120),
    cLDefine8     varchar(120),
    cLDefine9     decimal(28,6),
    cLDefine10    timestamp(3)
);
CREATE INDEX ix_Crm_Contact_extradefine_code ON Crm_Contact_extradefine (cContactCode);

-- Related persons of a contact: the users and employees who share it.
CREATE TABLE crm_contact_User (
    Contact_Id    varchar(60)  NOT NULL,
    User_Id       varchar(20)  NOT NULL,
    iUserType     tinyint       NOT NULL DEFAULT 0,  -- 0 operator, 1 employee
    PRIMARY KEY (Contact_Id, User_Id)
);

-- Data-authorization dimensions granted on a contact: Privilege_Type 0 is the department,
-- any other value an authorization-dimension type (AA_AuthDimen_Type.iADTID).
CREATE TABLE crm_contact_Auth (
    Contact_Id     varchar(60) NOT NULL,
    Privilege_Type int          NOT NULL,
    Privilege_ID   varchar(50) NOT NULL,
    PRIMARY KEY (Contact_Id, Privilege_Type, Privilege_ID)
);

-- Companion rows go with their contact, whoever deletes it and in whatever order: a save that
-- re-created one of them while the contact was being deleted leaves nothing behind.
CREATE FUNCTION perikon_delete_contact_companions() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    EXECUTE format('DELETE FROM %I.crm_contact_extradefine WHERE oid = $1', TG_TABLE_SCHEMA) USING OLD.oid;
    EXECUTE format('DELETE FROM %I.crm_contact_auth WHERE contact_id = $1', TG_TABLE_SCHEMA)
        USING OLD.ccontactcode;
    EXECUTE format('DELETE FROM %I.crm_contact_user WHERE contact_id = $1', TG_TABLE_SCHEMA)
        USING OLD.ccontactcode;
    RETURN OLD;
END $$;

CREATE TRIGGER tr_Crm_Contact_companions AFTER DELETE ON Crm_Contact
    FOR EACH ROW EXECUTE FUNCTION perikon_delete_contact_companions();

CREATE TABLE Crm_BaseCode (
    ID     integer      GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,
    cCode  varchar(20),
    cType  varchar(20) NOT NULL,
    cName  varchar(60) NOT NULL,
    bEdit  flag          NOT NULL DEFAULT 1,
    -- stamped by the save steps like every archive row
    dCreateDate timestamp(3),
    cCreator    varchar(40),
    dModifyDate timestamp(3),
    cRevisor    varchar(40),
    UNIQUE (cType, cName)
);

-- Archives the contact refers to ------------------------------------------------------------

CREATE TABLE Customer (
    cCusCode         varchar(20)  NOT NULL PRIMARY KEY,
    iId              int           NOT NULL UNIQUE,
    cCusName         varchar(98)  NOT NULL,
    cCusAbbName      varchar(60),
    cCCCode          varchar(12),
    cDCCode          varchar(12),
    cTrade           varchar(50),
    cCusAddress      varchar(255),
    cCusPostCode     varchar(20),
    cCusPhone        varchar(100),
    cCusFax          varchar(100),
    cCusEmail        varchar(100),
    cCusPerson       varchar(50),
    cCusHand         varchar(100),
    cCusPPerson      varchar(20),
    cCusDepart       varchar(12),
    ccuscontactcode  varchar(100),
    dCusDevDate      timestamp(3),
    dEndDate         timestamp(3),
    cCreatePerson    varchar(40),
    dCusCreateDatetime timestamp(3)
);
CREATE INDEX ix_Customer_ccuscontactcode ON Customer (ccuscontactcode);

CREATE TABLE Department (
    cDepCode     varchar(12)  NOT NULL PRIMARY KEY,
    cDepName     varchar(255) NOT NULL,
    iDepGrade    tinyint       NOT NULL DEFAULT 1,
    bDepEnd      flag           NOT NULL DEFAULT 1,
    cDepPerson   varchar(20),
    cDepPhone    varchar(100),
    cDepAddress  varchar(255),
    dDepBeginDate timestamp(3),
    dDepEndDate  timestamp(3)
);

CREATE TABLE Person (
    cPersonCode   varchar(20)  NOT NULL PRIMARY KEY,
    cPersonName   varchar(40)  NOT NULL,
    cDepCode      varchar(12),
    cPersonEmail  varchar(100),
    cPersonPhone  varchar(100),
    dPValidDate   timestamp(3),
    dPInValidDate timestamp(3)
);

-- Personnel records; the list shows the responsible person's name from here.
CREATE TABLE hr_hi_person (
    cPsn_Num        varchar(20)  NOT NULL PRIMARY KEY,
    cPsn_Name       varchar(40)  NOT NULL,
    cDept_num       varchar(12),
    rSex            varchar(2),
    cPsnMobilePhone varchar(100),
    cPsnEmail       varchar(100),
    dEnterDate      timestamp(3)
);

CREATE TABLE AA_Picture (
    cGUID         varchar(100) NOT NULL PRIMARY KEY,
    cPicturetype  varchar(20),
    Picture       bytea,
    cTableName    varchar(50)
);

-- User-defined items ------------------------------------------------------------------------

CREATE TABLE userdef (
    cID            varchar(20)  NOT NULL PRIMARY KEY,
    cClass         varchar(50)  NOT NULL,
    CItem          varchar(50)  NOT NULL,
    cItemName      varchar(50),
    bInput         flag           NOT NULL DEFAULT 0,
    cType          varchar(20),
    bFixLength     flag           NOT NULL DEFAULT 0,
    iLength        smallint      NOT NULL DEFAULT 120,
    iDecimalDigits tinyint,
    bCheckVal      flag           NOT NULL DEFAULT 0,
    iDataSource    tinyint       NOT NULL DEFAULT 0,   -- 0 own value list, 1 another archive
    cRelArchive    varchar(60),
    cRelField      varchar(60),
    bArchive       flag           NOT NULL DEFAULT 0,
    cDefaultVal    varchar(120),
    cDicDbname     varchar(60),
    UNIQUE (cClass, CItem)
);

-- Item hierarchy: an item whose values depend on the value of a parent item.
CREATE TABLE UserDef_Base (
    cID        varchar(20) NOT NULL PRIMARY KEY,
    cParentID  varchar(20)
);

CREATE TABLE userdefine (
    cId     varchar(20)  NOT NULL,
    cValue  varchar(120) NOT NULL,
    PRIMARY KEY (cId, cValue)
);

-- Suite bookkeeping --------------------------------------------------------------------------

-- Codes changed since the duplicate detection last ran (obj_type 2 is the contact).
CREATE TABLE tc_tmp_duplication (
    ID        integer      GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,
    obj_type  int          NOT NULL,
    code      varchar(100) NOT NULL,
    oper      varchar(10)
);

-- Declared references between archives, checked before an archive row is deleted.
CREATE TABLE crm_ref_relation (
    ID                       integer       GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,
    creferencedtablename     varchar(100) NOT NULL,
    creferencedtablekey      varchar(100) NOT NULL,
    creferencingtablename    varchar(100) NOT NULL,
    creferencingtablecolumn  varchar(100) NOT NULL,
    cwherepart               varchar(500),
    cObjName                 varchar(100)
);

-- Display names of tables.
CREATE TABLE Rpt_GRPDef (
    SystemId     varchar(10)  NOT NULL,
    TableName    varchar(100) NOT NULL,
    TableDefine  varchar(100),
    PRIMARY KEY (SystemId, TableName)
);

-- Authorization ------------------------------------------------------------------------------

-- Business objects and which authorization controls apply to them, per language.
CREATE TABLE aa_busobject_base (
    cBusObId          varchar(50) NOT NULL,
    langid            varchar(10) NOT NULL,
    cBusObName        varchar(100),
    bAuthControl      flag          NOT NULL DEFAULT 0,
    iAuthType         tinyint      NOT NULL DEFAULT 0,
    bAuthDimControl   flag          NOT NULL DEFAULT 0,
    bDeptControl      flag          NOT NULL DEFAULT 0,
    bPersonControl    flag          NOT NULL DEFAULT 0,
    bAuthDim1Control  flag          NOT NULL DEFAULT 0,
    bAuthDim2Control  flag          NOT NULL DEFAULT 0,
    bAuthDim3Control  flag          NOT NULL DEFAULT 0,
    bAuthDim4Control  flag          NOT NULL DEFAULT 0,
    bCustDimControl   flag          NOT NULL DEFAULT 0,
    PRIMARY KEY (cBusObId, langid)
);

-- Authorization-dimension types (0, the department, is implicit) and their values.
CREATE TABLE AA_AuthDimen_Type (
    iADTID    int          NOT NULL PRIMARY KEY,
    cADTName  varchar(50) NOT NULL,
    bEnable   flag          NOT NULL DEFAULT 1
);

CREATE TABLE AA_AuthDimen_Sub (
    iADTID   int           NOT NULL,
    cADCode  varchar(50)  NOT NULL,
    cADName  varchar(100) NOT NULL,
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
    cOppCode      varchar(30)  NOT NULL PRIMARY KEY,
    cOppName      varchar(100) NOT NULL,
    cCusCode      varchar(20),
    cContactCode  varchar(60),
    dExpectDate   timestamp(3),
    mExpectAmount numeric(19,4),
    iStage        tinyint       NOT NULL DEFAULT 1,
    cPrincipal    varchar(20),
    dCreateDate   timestamp(3)
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
-- New codes are numbered after the fixed ones.
SELECT setval(pg_get_serial_sequence('crm_basecode', 'id'), (SELECT max(ID) FROM Crm_BaseCode));

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
    cUser_Id    varchar(20)  NOT NULL,
    cKey        varchar(50)  NOT NULL,   -- archive key in lower case, e.g. 'crm_contact'
    cFieldName  varchar(60)  NOT NULL,
    cCaption    varchar(100),            -- NULL: the dictionary caption
    bShow       flag           NOT NULL DEFAULT 1,
    iWidth      int           NOT NULL DEFAULT 100,
    iOrder      int           NOT NULL DEFAULT 0,
    bMustInput  flag           NOT NULL DEFAULT 0,
    PRIMARY KEY (cUser_Id, cKey, cFieldName)
);

-- Column authorization (ColumnAuthService): which columns of a business object an operator may
-- not see or change. A rule with an empty cFuncId holds for every function; a rule for the
-- function itself wins over it, so bDenied = 0 there lifts a general denial.
CREATE TABLE qz_ColumnAuth (
    cUser_Id    varchar(20)  NOT NULL,
    cBusObId    varchar(50)  NOT NULL,
    cFuncId     varchar(30)  NOT NULL DEFAULT '',
    cFieldName  varchar(60)  NOT NULL,
    bDenied     flag           NOT NULL DEFAULT 1,
    PRIMARY KEY (cUser_Id, cBusObId, cFuncId, cFieldName)
);

-- Function rights of operators who are not administrators (the login's TaskExec).
CREATE TABLE qz_UserFunction (
    cUser_Id  varchar(20)  NOT NULL,
    cFuncId   varchar(30)  NOT NULL,
    PRIMARY KEY (cUser_Id, cFuncId)
);
