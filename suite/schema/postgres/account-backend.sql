-- What only PostgreSQL needs of the account schema, run after mssql/account.sql with the search
-- path set to the account schema and public.

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

-- New codes are numbered after the fixed ones.
SELECT setval(pg_get_serial_sequence('crm_basecode', 'id'), (SELECT max(ID) FROM Crm_BaseCode));
