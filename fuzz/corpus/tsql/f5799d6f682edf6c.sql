UPDATE t_CustEntry SET   FPrice=12, FLeadTime='7', FQuoteTime='2025-06-01', FNote='new; it''s'
 WHERE FCustID=900112 AND FItemID=900301 AND FUnitID=101 AND FStartQty=0 AND FEndQty=100 AND FCyID=1 AND FExpireDate='2100-01-01'  AND FUsed=0 
