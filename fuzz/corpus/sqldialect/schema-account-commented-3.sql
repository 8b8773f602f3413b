CREATE TABLE hr_hi_person (
    cPsn_Num        nvarchar(20)  NOT NULL PRIMARY KEY,
    cPsn_Name       nvarchar(40)  NOT NULL,
    cDept_num       nvarchar(12),
    rSex            nvarchar(2),
    cPsnMobilePhone nvarchar(100),
    cPsnEmail       nvarchar(100),
    dEnterDate      datetime
);