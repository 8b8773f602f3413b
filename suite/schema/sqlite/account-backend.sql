-- What only SQLite needs of the account database, run after mssql/account.sql.

-- Companion rows go with their contact, whoever deletes it and in whatever order: a save that
-- re-created one of them while the contact was being deleted leaves nothing behind.
CREATE TRIGGER tr_Crm_Contact_companions AFTER DELETE ON Crm_Contact
BEGIN
    DELETE FROM Crm_Contact_extradefine WHERE OID = OLD.OID;
    DELETE FROM crm_contact_Auth WHERE Contact_Id = OLD.cContactCode;
    DELETE FROM crm_contact_User WHERE Contact_Id = OLD.cContactCode;
END;
