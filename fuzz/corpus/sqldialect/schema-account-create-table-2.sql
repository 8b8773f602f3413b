-- Related persons of a contact: the users and employees who share it.
CREATE TABLE crm_contact_User (
    Contact_Id    nvarchar(60)  NOT NULL,
    User_Id       nvarchar(20)  NOT NULL,
    iUserType     tinyint       NOT NULL DEFAULT 0,  -- 0 operator, 1 employee
    PRIMARY KEY (Contact_Id, User_Id)
);