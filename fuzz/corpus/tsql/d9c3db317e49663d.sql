UPDATE t_CustEntry SET   FPrice=15, FLeadTime='0', FQuoteTime='2025-06-01', FNote=''
 WHERE FCustID=900501 AND FItemID=900610 AND FUnitID=101 AND FStartQty=0 AND FEndQty=100 AND FCyID=1 AND FExpireDate='2100-01-01'  AND FUsed=0 
UPDATE t_CustEntry SET   FPrice=15, FLeadTime='0', FQuoteTime='2025-06-01', FNote=''
 WHERE FCustID=900502 AND FItemID=900610 AND FUnitID=101 AND FStartQty=0 AND FEndQty=100 AND FCyID=1 AND FExpireDate='2100-01-01'  AND FUsed=0 
UPDATE t_CustEntry SET   FPrice=15, FLeadTime='0', FQuoteTime='2025-06-01', FNote=''
 WHERE FCustID=900503 AND FItemID=900610 AND FUnitID=101 AND FStartQty=0 AND FEndQty=100 AND FCyID=1 AND FExpireDate='2100-01-01'  AND FUsed=0 
