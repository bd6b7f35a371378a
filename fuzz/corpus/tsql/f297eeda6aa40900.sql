UPDATE t_CustEntry SET   FPrice=12, FLeadTime='7', FQuoteTime='2025-06-01', FNote='new; it''s'
 WHERE FCustID=900111 AND FItemID=900301 AND FUnitID=101 AND FStartQty=0 AND FEndQty=100 AND FCyID=1 AND FExpireDate='2100-01-01'  AND FUsed=0 
UPDATE t_CustEntry SET   FPrice=12, FLeadTime='7', FQuoteTime='2025-06-01', FNote='new; it''s'
 WHERE FCustID=900113 AND FItemID=900301 AND FUnitID=101 AND FStartQty=0 AND FEndQty=100 AND FCyID=1 AND FExpireDate='2100-01-01'  AND FUsed=0 
 AND FQuoteTime='2024-06-01'
UPDATE t_CustEntry SET   FPrice=12, FLeadTime='7', FQuoteTime='2025-06-01', FNote='new; it''s'
 WHERE FCustID=900115 AND FItemID=900301
 AND FUnitID=101 AND FStartQty=0 AND FEndQty=100 AND FCyID=1 AND FExpireDate='2100-01-01'  AND FUsed=0  AND FExpireDate='2100-01-01' AND  FQuoteTime='2025-06-01' 
UPDATE t_CustEntry SET   FPrice=12, FLeadTime='7', FQuoteTime='2025-06-01', FNote='new; it''s'
 WHERE FCustID=900118 AND FItemID=900301 AND FUnitID=101 AND FStartQty=0 AND FEndQty=100 AND FCyID=1 AND FExpireDate='2100-01-01'  AND FUsed=0 
