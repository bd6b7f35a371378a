UPDATE t_CustEntry SET   FPrice=55, FLeadTime='0', FQuoteTime='2026-06-01', FNote=''
 WHERE FCustID=1095 AND FItemID=1243 AND FUnitID=101 AND FStartQty=0 AND FEndQty=0 AND FCyID=1 AND FExpireDate='2100-01-01'  AND FUsed=0 
UPDATE t_CustEntry SET   FPrice=55, FLeadTime='0', FQuoteTime='2026-06-01', FNote=''
 WHERE FCustID=1095 AND FItemID=1250 AND FUnitID=101 AND FStartQty=0 AND FEndQty=0 AND FCyID=1 AND FExpireDate='2100-01-01'  AND FUsed=0 
