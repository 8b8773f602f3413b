CREATE VIEW V_AA_AuthDimen_Sub AS
    SELECT s.iADTID, s.cADCode, s.cADName
    FROM AA_AuthDimen_Sub s INNER JOIN AA_AuthDimen_Type t ON t.iADTID = s.iADTID
    WHERE t.bEnable = 1;