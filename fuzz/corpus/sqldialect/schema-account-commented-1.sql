-- function itself wins over it, so bDenied = 0 there lifts a general denial.
CREATE TABLE qz_ColumnAuth (
    cUser_Id    nvarchar(20)  NOT NULL,
    cBusObId    nvarchar(50)  NOT NULL,
    cFuncId     nvarchar(30)  NOT NULL DEFAULT '',
    cFieldName  nvarchar(60)  NOT NULL,
    bDenied     bit           NOT NULL DEFAULT 1,
    PRIMARY KEY (cUser_Id, cBusObId, cFuncId, cFieldName)
);