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