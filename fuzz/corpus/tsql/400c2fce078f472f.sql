INSERT INTO t_CustEntry(FBrNo,FCustID,FItemID,FEntryID,FUnitID,FStartQty,FEndQty,FPrice,FCyID,FLeadTime,FQuoteTime,FUsed,FExpireDate,FNote)
VALUES('0',1095,1244,2292,101,0,0,55,1,0,'2026-06-01',0,'2100-01-01','')
