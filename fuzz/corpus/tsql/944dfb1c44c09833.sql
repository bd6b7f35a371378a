INSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) 
VALUES ('0',1259,1095,1,0 ) 
INSERT INTO t_CustEntry(FBrNo,FCustID,FItemID,FEntryID,FUnitID,FStartQty,FEndQty,FPrice,FCyID,FLeadTime,FQuoteTime,FUsed,FExpireDate,FNote)
VALUES('0',1095,1259,2306,101,0,0,55,1,0,'2026-06-01',0,'2100-01-01','')
