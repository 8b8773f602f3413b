CREATE VIEW V_AA_AuthDimen_Type AS
    SELECT iADTID, cADTName FROM AA_AuthDimen_Type WHERE bEnable = 1;